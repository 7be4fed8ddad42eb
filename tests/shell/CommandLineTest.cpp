// The configuration-file name taken from the command line.
#include <gtest/gtest.h>

#include <cstring>

#include "schema/base/RunAgent.h"
#include "shell/CommandLine.h"

namespace {

using Tessor::schema::RunAgent;
using Tessor::shell::parseCommandLine;

std::string parsed(const std::string& line)
{
    std::strcpy(RunAgent::cfgParm, "unchanged");
    parseCommandLine(line);
    return RunAgent::cfgParm;
}

TEST(CommandLine, TakesTheNameAfterTheSwitch)
{
    const struct {
        std::string line;
        std::string name;
    } cases[] = {
        {"-F tessor.cfg", "tessor.cfg"},
        {"-ftessor.cfg", "tessor.cfg"},
        {"-f   tessor.cfg", "tessor.cfg"},
        {"/debug now -f tessor.cfg", "tessor.cfg"},
        {"-f tessor.cfg -x other", "tessor.cfg"},
        {"-f", "unchanged"},
        {"-f   ", "unchanged"},
        {"tessor.cfg", "unchanged"},
        {"", "unchanged"},
        {"-f " + std::string(1020, 'a'), std::string(1020, 'a')},
        {"-f " + std::string(1021, 'a'), "unchanged"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parsed(c.line), c.name) << c.line.substr(0, 40);
    }
}

TEST(CommandLine, ArgumentsAreJoinedByBlanks)
{
    char program[] = "mavik";
    char a[] = "-f";
    char b[] = "tessor.cfg";
    char* argv[] = {program, a, b, nullptr};
    EXPECT_EQ(Tessor::shell::commandLineText(3, argv), "-f tessor.cfg");
    EXPECT_EQ(Tessor::shell::commandLineText(1, argv), "");
}

}  // namespace
