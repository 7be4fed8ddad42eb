#include <gtest/gtest.h>

#include "PageSet.h"
#include "usb/scan/ScanModeFactory.h"

namespace Tessor::usb {
namespace {

Sptr<ScanBitmapFactory> makePatterns(const ScanGeometry& geometry)
{
    Sptr<ScanBitmapFactory> patterns;
    EXPECT_EQ(0, ScanBitmapFactory::create(nullptr, geometry, patterns));
    return patterns;
}

TEST(ScanMode, BlockModeSetsFirstBlockAndStep)
{
    const struct {
        _SCAN_BLOCK_MODE blockMode;
        int startBlock;
        int repeatStep;
    } cases[] = {{SCAN_BLOCK_ALL, 0, 1}, {SCAN_BLOCK_ODD, 1, 2}, {SCAN_BLOCK_EVEN, 0, 2}};
    for (const auto& c : cases) {
        ScanMode mode(c.blockMode, "Mode");
        EXPECT_EQ(c.startBlock, mode.getStartBlock());
        EXPECT_EQ(c.repeatStep, mode.getRepeatStep());
        EXPECT_EQ(0, mode.getStartPage());
        EXPECT_EQ(c.blockMode, mode.getModeType());
        // The sample size: 8192 sectors whether or not a sample file was read.
        EXPECT_EQ(8192, mode.getRepeatTime());
        EXPECT_FALSE(mode.getScanBitmap());
    }
}

struct CatalogueCase {
    _FACTORY_PRESCAN_MODE key;
    const char* name;
    _SCAN_BLOCK_MODE blockMode;
    _SCAN_PAGE_MODE pageMode;
};

void expectCatalogue(const ScanGeometry& geometry, const CatalogueCase* begin, const CatalogueCase* end)
{
    Sptr<ScanBitmapFactory> patterns = makePatterns(geometry);
    ScanModeFactory factory(nullptr, geometry, patterns);
    for (const CatalogueCase* c = begin; c != end; ++c) {
        SCOPED_TRACE(c->name);
        Sptr<ScanMode> mode = factory.getScanMode(c->key);
        EXPECT_STREQ(c->name, mode->getName());
        EXPECT_EQ(c->blockMode, mode->getModeType());
        // The very pattern the device's pattern factory holds, not a copy.
        EXPECT_EQ(patterns->getScanBitmap(c->pageMode).get(), mode->getScanBitmap().get());
    }
}

TEST(ScanModeFactory, NormalCatalogue)
{
    const CatalogueCase cases[] = {
        {PRESCAN_ALL_BLOCK_ALL_PAGE, "ScanAllBlockAllPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_ALL},
        {PRESCAN_EVEN_BLOCK_ALL_PAGE, "ScanEvenBlockAllPagePreScan", SCAN_BLOCK_EVEN, SCAN_PAGE_ALL},
        {PRESCAN_ODD_BLOCK_ALL_PAGE, "ScanOddBlockAllPagePreScan", SCAN_BLOCK_ODD, SCAN_PAGE_ALL},
        {PRESCAN_ALL_BLOCK_2K_IGNORE_L, "ScanAllBlock2KIgnoreLPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_2K_ODD},
        {PRESCAN_ALL_BLOCK_2K_IGNORE_H, "ScanAllBlock2KIgnoreHPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_2K_EVEN},
        {PRESCAN_FORMER_HALF_OF_ALL_BLOCK, "ScanFormerHalfofAllBlockPreScan", SCAN_BLOCK_ALL, SCAN_PAGE_FORMER_HALF},
        {PRESCAN_AFTER_HALF_OF_ALL_BLOCK, "ScanAfterHalfofAllBlockPreScan", SCAN_BLOCK_ALL, SCAN_PAGE_AFTER_HALF},
        {PRESCAN_ALL_BLOCK_4K_IGNORE_L, "ScanAllBlock4KIgnoreLPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_4K_IGNORE_L},
        {PRESCAN_ALL_BLOCK_4K_IGNORE_H, "ScanAllBlock4KIgnoreHPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_4K_IGNORE_H},
    };
    expectCatalogue({128, false}, std::begin(cases), std::end(cases));
}

TEST(ScanModeFactory, TripleLevelCatalogue)
{
    const CatalogueCase cases[] = {
        {PRESCAN_TLC_ALL_PAGE, "ScanTLCAllPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_TLC_ALL},
        {PRESCAN_TLC_BC_PAGE, "ScanTLCBCPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_TLC_BC},
        {PRESCAN_TLC_B_PAGE, "ScanTLCBPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_TLC_B},
        {PRESCAN_TLC_AB_PAGE, "ScanTLCABPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_TLC_AB},
        {PRESCAN_TLC_A_PAGE, "ScanTLCAPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_TLC_A},
    };
    expectCatalogue({256, true}, std::begin(cases), std::end(cases));
}

TEST(ScanModeFactory, ModesAreSharedNotCopied)
{
    ScanModeFactory factory(nullptr, {128, false}, makePatterns({128, false}));
    Sptr<ScanMode> first = factory.getScanMode(PRESCAN_ODD_BLOCK_ALL_PAGE);
    first->setRepeatTime(64);
    EXPECT_EQ(first.get(), factory.getScanMode(PRESCAN_ODD_BLOCK_ALL_PAGE).get());
    EXPECT_EQ(64, factory.getScanMode(PRESCAN_ODD_BLOCK_ALL_PAGE)->getRepeatTime());
}

// The full scan's own mode when the pre-scan does not choose: every block,
// with all pages (all real pages on triple-level cells) or the first page only.
TEST(ScanMode, PriorityChosenModes)
{
    const struct {
        ScanGeometry geometry;
        _SCAN_PAGE_MODE pageMode;
        const char* pages;
    } cases[] = {
        {{128, false}, SCAN_PAGE_ALL, "0-127"},
        {{256, true}, SCAN_PAGE_TLC_ALL, "0-191"},
        {{128, false}, SCAN_PAGE_FRONT2, "0"},
        {{256, true}, SCAN_PAGE_FRONT2, "0"},
    };
    for (const auto& c : cases) {
        ScanMode mode(SCAN_BLOCK_ALL, "OptimizedScanBlockMode");
        mode.setScanBitmap(makePatterns(c.geometry)->getScanBitmap(c.pageMode));
        EXPECT_EQ(0, mode.getStartBlock());
        EXPECT_EQ(1, mode.getRepeatStep());
        EXPECT_EQ(test::pageSet(c.pages), test::markedPages(*mode.getScanBitmap()));
    }
}

using ScanModeFactoryDeathTest = testing::Test;

TEST_F(ScanModeFactoryDeathTest, KeysOutsideTheCatalogueEndTheProcess)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    ScanModeFactory normal(nullptr, {128, false}, makePatterns({128, false}));
    ScanModeFactory tlc(nullptr, {256, true}, makePatterns({256, true}));
    EXPECT_DEATH(normal.getScanMode(PRESCAN_TLC_ALL_PAGE), "Assert false");
    EXPECT_DEATH(tlc.getScanMode(PRESCAN_ALL_BLOCK_ALL_PAGE), "Assert false");
    EXPECT_DEATH(normal.getScanMode(static_cast<_FACTORY_PRESCAN_MODE>(10)), "Assert false");
    EXPECT_DEATH(tlc.getScanMode(static_cast<_FACTORY_PRESCAN_MODE>(10)), "Assert false");
    ScanMode mode(SCAN_BLOCK_ALL, "Mode");
    EXPECT_DEATH(mode.setScanBitmap(Sptr<ScanBitmap>()), "Assert false");
}

}  // namespace
}  // namespace Tessor::usb
