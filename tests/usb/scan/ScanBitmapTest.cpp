#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "PageSet.h"
#include "usb/scan/ScanBitmapFactory.h"

namespace Tessor::usb {
namespace {

using test::markedPages;
using test::pageSet;

Sptr<ScanBitmapFactory> makeFactory(int pagesPerBlock, bool tlc)
{
    Sptr<ScanBitmapFactory> factory;
    EXPECT_EQ(0, ScanBitmapFactory::create(nullptr, ScanGeometry{pagesPerBlock, tlc}, factory));
    return factory;
}

std::set<int> marked(int pagesPerBlock, bool tlc, _SCAN_PAGE_MODE mode)
{
    return markedPages(*makeFactory(pagesPerBlock, tlc)->getScanBitmap(mode));
}

std::set<int> complementOf(const std::set<int>& pages, int within)
{
    std::set<int> rest;
    for (int page = 0; page < within; ++page) {
        if (!pages.count(page)) {
            rest.insert(page);
        }
    }
    return rest;
}

struct PatternCase {
    int pagesPerBlock;
    bool tlc;
    _SCAN_PAGE_MODE mode;
    size_t count;
    const char* pages;
};

// Counts as the page tables state them, so a slip in either column shows.
const PatternCase patternCases[] = {
    {128, false, SCAN_PAGE_ALL, 128, "0-127"},
    {128, false, SCAN_PAGE_4K_IGNORE_H, 64, "0-3,6:122:4,7:123:4"},
    {128, false, SCAN_PAGE_4K_IGNORE_L, 64, "4:120:4,5:121:4,124-127"},
    {128, false, SCAN_PAGE_4KQ_IGNORE_H, 64, "64-127"},
    {128, false, SCAN_PAGE_4KQ_IGNORE_L, 64, "0-63"},
    {128, false, SCAN_PAGE_2K_ODD, 64, "1:127:2"},
    {128, false, SCAN_PAGE_2K_EVEN, 64, "0:126:2"},
    {128, false, SCAN_PAGE_6L_LOW, 66, "0-5,8:124:4,9:125:4"},
    {128, false, SCAN_PAGE_6L_HIGH, 62, "6:126:4,7:127:4"},
    {128, false, SCAN_PAGE_FORMER_HALF, 64, "0-63"},
    {128, false, SCAN_PAGE_AFTER_HALF, 64, "64-127"},
    {128, false, SCAN_PAGE_FRONT2, 1, "0"},
    {64, false, SCAN_PAGE_4K_IGNORE_H, 32, "0-3,6:58:4,7:59:4"},
    {64, false, SCAN_PAGE_4K_IGNORE_L, 32, "4:56:4,5:57:4,60-63"},
    {24, false, SCAN_PAGE_FORMER_HALF, 16, "0-7,16-23"},
    {24, false, SCAN_PAGE_AFTER_HALF, 16, "8-23"},
    {9, false, SCAN_PAGE_2K_ODD, 4, "1,3,5,7"},
    {9, false, SCAN_PAGE_2K_EVEN, 5, "0,2,4,6,8"},
    {9, false, SCAN_PAGE_FRONT2, 1, "0"},
    {128, true, SCAN_PAGE_TLC_ALL, 94, "0-93"},
    {128, true, SCAN_PAGE_TLC_BC, 62, "2-3,5:92:3,6:93:3"},
    {128, true, SCAN_PAGE_TLC_B, 32, "2-3,5:92:3"},
    {128, true, SCAN_PAGE_TLC_AB, 64, "0-5,7:91:3,8:92:3"},
    {128, true, SCAN_PAGE_TLC_A, 32, "0-1,4:91:3"},
    {128, true, SCAN_PAGE_FRONT2, 1, "0"},
    {256, true, SCAN_PAGE_TLC_ALL, 192, "0-191"},
    {256, true, SCAN_PAGE_TLC_BC, 128, "1:190:3,3:189:3,191"},
    {256, true, SCAN_PAGE_TLC_B, 64, "1,3:189:3"},
    {256, true, SCAN_PAGE_TLC_AB, 129, "0-3,5:188:3,6:189:3,191"},
    {256, true, SCAN_PAGE_TLC_A, 64, "0,2:188:3"},
    {512, true, SCAN_PAGE_TLC_ALL, 512, "0-511"},
    {512, true, SCAN_PAGE_TLC_BC, 512, "0-511"},
    {512, true, SCAN_PAGE_TLC_B, 64, "1,3:189:3"},
    {512, true, SCAN_PAGE_TLC_AB, 129, "0-3,5:188:3,6:189:3,191"},
    {512, true, SCAN_PAGE_TLC_A, 64, "0,2:188:3"},
    {512, true, SCAN_PAGE_FRONT2, 1, "0"},
};

TEST(PagePattern, MarksThePagesOfItsRule)
{
    for (const PatternCase& c : patternCases) {
        SCOPED_TRACE(testing::Message() << "P=" << c.pagesPerBlock << (c.tlc ? " TLC" : "") << " pattern " << c.mode);
        const std::set<int> expected = pageSet(c.pages);
        ASSERT_EQ(c.count, expected.size());
        EXPECT_EQ(expected, marked(c.pagesPerBlock, c.tlc, c.mode));
    }
}

TEST(PagePattern, PairedPatternsAreComplements)
{
    for (int pages : {12, 16, 64, 100, 128, 256}) {
        SCOPED_TRACE(pages);
        EXPECT_EQ(complementOf(marked(pages, false, SCAN_PAGE_4K_IGNORE_H), pages),
                  marked(pages, false, SCAN_PAGE_4K_IGNORE_L));
        EXPECT_EQ(complementOf(marked(pages, false, SCAN_PAGE_6L_LOW), pages),
                  marked(pages, false, SCAN_PAGE_6L_HIGH));
    }
    for (int pages : {16, 64, 256}) {
        SCOPED_TRACE(pages);
        EXPECT_EQ(pageSet("0-" + std::to_string(pages / 2 - 1)), marked(pages, false, SCAN_PAGE_FORMER_HALF));
        EXPECT_EQ(complementOf(marked(pages, false, SCAN_PAGE_FORMER_HALF), pages),
                  marked(pages, false, SCAN_PAGE_AFTER_HALF));
    }
}

TEST(PagePattern, TripleLevelSetsFitTogether)
{
    for (auto [pages, realPages] : {std::pair{128, 94}, std::pair{256, 192}}) {
        SCOPED_TRACE(pages);
        const std::set<int> a = marked(pages, true, SCAN_PAGE_TLC_A);
        const std::set<int> b = marked(pages, true, SCAN_PAGE_TLC_B);
        const std::set<int> ab = marked(pages, true, SCAN_PAGE_TLC_AB);
        EXPECT_EQ(complementOf(a, realPages), marked(pages, true, SCAN_PAGE_TLC_BC));
        EXPECT_TRUE(std::includes(ab.begin(), ab.end(), b.begin(), b.end()));
        std::set<int> both;
        std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::inserter(both, both.end()));
        EXPECT_TRUE(both.empty());
    }
    // In a 128-page block the B pages are exactly those the A-and-B pattern adds.
    std::set<int> aAndB = marked(128, true, SCAN_PAGE_TLC_A);
    const std::set<int> b = marked(128, true, SCAN_PAGE_TLC_B);
    aAndB.insert(b.begin(), b.end());
    EXPECT_EQ(marked(128, true, SCAN_PAGE_TLC_AB), aAndB);
}

TEST(PagePattern, FactoryHandsOutSharedPatternsByNumberAndName)
{
    Sptr<ScanBitmapFactory> normal = makeFactory(128, false);
    const std::pair<_SCAN_PAGE_MODE, const char*> normalNames[] = {
        {SCAN_PAGE_ALL, "PageScanModeDefault(All)"}, {SCAN_PAGE_4K_IGNORE_H, "PageScanMode4KIgnoreH"},
        {SCAN_PAGE_4K_IGNORE_L, "PageScanMode4KIgnoreL"}, {SCAN_PAGE_4KQ_IGNORE_H, "PageScanMode4KIgnoreH(Q)"},
        {SCAN_PAGE_4KQ_IGNORE_L, "PageScanMode4KIgnoreL(Q)"}, {SCAN_PAGE_2K_ODD, "PageScanMode2KOdd"},
        {SCAN_PAGE_2K_EVEN, "PageScanMode2KEven"}, {SCAN_PAGE_6L_LOW, "PageScanMode6LLOW"},
        {SCAN_PAGE_6L_HIGH, "PageScanMode6LHIGH"}, {SCAN_PAGE_FRONT2, "PageScanModeFront2"},
    };
    for (auto [mode, name] : normalNames) {
        EXPECT_EQ(mode, normal->getScanBitmap(mode)->getMode());
        EXPECT_STREQ(name, normal->getScanBitmap(mode)->getName());
    }
    EXPECT_EQ(normal->getScanBitmap(SCAN_PAGE_ALL).get(), normal->getScanBitmap(SCAN_PAGE_ALL).get());

    Sptr<ScanBitmapFactory> tlc = makeFactory(256, true);
    const std::pair<_SCAN_PAGE_MODE, const char*> tlcNames[] = {
        {SCAN_PAGE_TLC_ALL, "TLCPageScanModeDefault(All)"}, {SCAN_PAGE_TLC_BC, "TLCBCPageScanMode"},
        {SCAN_PAGE_TLC_B, "TLCBPageScanMode"}, {SCAN_PAGE_TLC_AB, "TLCABPageScanMode"},
        {SCAN_PAGE_TLC_A, "TLCAPageScanMode"}, {SCAN_PAGE_FRONT2, "PageScanModeFront2"},
    };
    for (auto [mode, name] : tlcNames) {
        EXPECT_EQ(mode, tlc->getScanBitmap(mode)->getMode());
        EXPECT_STREQ(name, tlc->getScanBitmap(mode)->getName());
    }
}

TEST(PagePattern, GeometryWithoutPatternsFailsTheDeviceOnly)
{
    const ScanGeometry refused[] = {{0, false}, {-4, false}, {8, false}, {8, true}, {64, true}, {160, true}};
    for (const ScanGeometry& geometry : refused) {
        SCOPED_TRACE(testing::Message() << geometry.pagesPerBlock << (geometry.tlc ? " TLC" : ""));
        Sptr<ScanBitmapFactory> factory;
        EXPECT_EQ(-0x8026, ScanBitmapFactory::create(nullptr, geometry, factory));
        EXPECT_FALSE(factory);
    }
    for (const ScanGeometry& geometry : {ScanGeometry{9, false}, ScanGeometry{128, true}, ScanGeometry{192, true}}) {
        Sptr<ScanBitmapFactory> factory;
        EXPECT_EQ(0, ScanBitmapFactory::create(nullptr, geometry, factory));
        EXPECT_TRUE(factory);
    }
}

using PagePatternDeathTest = testing::Test;

TEST_F(PagePatternDeathTest, ProgrammingErrorsEndTheProcess)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    Sptr<ScanBitmapFactory> normal = makeFactory(9, false);
    // Bit 9 of the flags is set, yet page 9 lies outside the block.
    EXPECT_DEATH(normal->getScanBitmap(SCAN_PAGE_ALL)->isScan(9), "Assert false");
    EXPECT_DEATH(normal->getScanBitmap(SCAN_PAGE_ALL)->isScan(-1), "Assert false");
    EXPECT_DEATH(normal->getScanBitmap(SCAN_PAGE_TLC_ALL), "Assert false");
    EXPECT_DEATH(makeFactory(128, true)->getScanBitmap(SCAN_PAGE_ALL), "Assert false");
}

}  // namespace
}  // namespace Tessor::usb
