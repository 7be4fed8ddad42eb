// A channel's progress and the coloured pieces of its state line.
#include <gtest/gtest.h>

#include "page/ChannelText.h"

namespace {

using namespace Tessor::page;

TEST(ChannelText, ProgressOfEachStateMapsOntoOneScale)
{
    const struct {
        int state, current, total, value;
    } cases[] = {
        {3, 50, 100, 40},   // scanning fills 0..80
        {3, 100, 100, 80},
        {4, 150, 100, 90},  // low format, clamped to its total
        {4, 0, 100, 80},
        {5, 100, 100, 100},  // high format
        {5, 7, 0, 90},       // no total: the state's start, no division
        {3, 5, -1, 0},
        {6, 37, 0, 37},  // other states report their value
        {0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mapProgress(c.state, c.current, c.total), c.value)
            << "state " << c.state << " " << c.current << "/" << c.total;
    }
}

TEST(ChannelText, StateLineNamesStateOperatorProgressAndScanMode)
{
    Tessor::schema::ProgressInfo report("StateScan", 3, 100, "ScanOperator", 100, 0, 50);
    report.setCurScanMode(0x1A);
    EXPECT_EQ(progressStateText(report, 40),
              "Current State:StateScan,Current Operator:ScanOperator,Current Progress:40%,Scan mode:1a");
}

TEST(ChannelText, ColouredPiecesLieOverTheirOwnCharacters)
{
    const QString formatted = "has been formatted";
    const QString notFormatted = "do not format";
    using R = ColouredRange;
    const QString ready = "'SIM0' ID=ECD35195 do not format,modify configuration";
    EXPECT_EQ(colouredRanges(ready, formatted, notFormatted),
              std::vector<R>({{19, 13, TextColour::Red}}));
    const QString built = "UDisk have build OK!Capacity=1464(MB)^1024(MB),Time-Consume=61(s)";
    const int caret = static_cast<int>(built.indexOf('^'));
    EXPECT_EQ(colouredRanges(built, formatted, notFormatted),
              std::vector<R>({{0, caret + 1, TextColour::Marked}, {caret + 1, 4, TextColour::Red}}));
    EXPECT_EQ(built.mid(caret + 1, 4), "1024");
    EXPECT_TRUE(colouredRanges("Some errors found:Erase Failed(0x802a)", formatted, notFormatted).empty());
}

}  // namespace
