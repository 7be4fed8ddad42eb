#include <gtest/gtest.h>

#include "BitmapFixture.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/base/VException.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/FlagPageBitmap.h"
#include "usb/cmd/PageBitmap.h"

namespace Tessor::usb::test {
namespace {

Sptr<BlockSet> setOf(const BitmapGeometry& g, std::initializer_list<int> blocks)
{
    Sptr<BlockSet> set(new BlockSet("Blockset"));
    set->setPagesCountEveryBlock(g.pagesPerBlock);
    set->setSectorCount(g.sectorsPerPage);
    for (int block : blocks) {
        set->addBlock(set->getBlocksCount(), block);
    }
    return set;
}

int64_t setBits(PageBitmap& bitmap)
{
    return BitRange::countSet(bitmap.getBitmap(), 0, int64_t(bitmap.getLength()) * 8);
}

TEST(PageBitmapBlocks, ReleasesExactlyTheBlocksOfTheSet)
{
    const BitmapGeometry g = geometry(1, 16, 64, 4);
    PageBitmap bitmap(g);
    EXPECT_EQ(bitmap.getLength(), 16 * 64 / 8);
    EXPECT_EQ(setBits(bitmap), 16 * 64);
    EXPECT_EQ(bitmap.findFreePageInBlock(3), -1);

    bitmap.updatePageBitmapFromBlockSet(setOf(g, {3}), 1);
    for (int byte = 0; byte < bitmap.getLength(); ++byte) {
        EXPECT_EQ(bitmap.getBitmap()[byte], byte / 8 == 3 ? 0x00 : 0xFF) << byte;
    }
    bitmap.updatePageBitmapFromBlockSet(setOf(g, {1}), 2);
    EXPECT_EQ(bitmap.getLength(), 16 * 64 / 8 / 2);
    EXPECT_EQ(setBits(bitmap), 7 * 64);
}

TEST(PageBitmapBlocks, TlcBlockReleasesOnlyItsRealPages)
{
    const BitmapGeometry g = tlcGeometry(1, 8, 6, 128, 94, 16);
    PageBitmap bitmap(g);
    bitmap.updatePageBitmapFromBlockSet(setOf(g, {2}), 1);
    EXPECT_EQ(bitmap.findFreePage(2, 93), 93);
    EXPECT_EQ(bitmap.findFreePage(2, 94), -1);
    EXPECT_EQ(BitRange::countSet(bitmap.getBitmap(), 2 * 128, 128), 128 - 94);
    EXPECT_EQ(BitRange::countSet(bitmap.getBitmap(), 2 * 128 + 88, 6), 0);
}

TEST(PageBitmapBlocks, SetTakesPagesWhoseSectorRunIsGoodUpToItsPageCount)
{
    const BitmapGeometry g = geometry(1, 4, 64, 4);
    SectorBitmap sectors(g, "SectorBitmap");
    markBad(sectors, 1, 5, 2);       // in the set's sectors 1..2
    markBad(sectors, 1, 6, 3);       // outside them
    Sptr<BlockSet> set = setOf(g, {1});
    set->setStartSector(1);
    set->setSectorCount(2);

    set->setPagesCountEveryBlock(60);
    PageBitmap first(g);
    EXPECT_EQ(first.addBlockSet(set, sectors), 1);
    EXPECT_EQ(first.findFreePage(1, 5), 6);             // page 5 skipped, page 6 kept
    EXPECT_EQ(first.findFreePage(1, 59), 60);           // 60 pages taken ...
    EXPECT_EQ(first.findFreePage(1, 60), -1);           // ... and no more

    set->setPagesCountEveryBlock(64);                   // only 63 pages qualify
    PageBitmap second(g);
    EXPECT_EQ(second.addBlockSet(set, sectors), 0);
    EXPECT_EQ(second.getBlockSetCount(), 1);
}

TEST(PageBitmapStore, SixteenBlocksOfBlockSetZeroAreTheLimit)
{
    struct Case {
        int blocksPerChip;
        int result;
        int blocksNeeded;
    } cases[] = {{1024, 0, 16}, {1032, -1, 17}};
    for (const Case& c : cases) {
        const BitmapGeometry g = geometry(1, c.blocksPerChip, 64, 4);
        PageBitmap bitmap(g);
        Sptr<BlockSet> set = setOf(g, {0});
        set->setSectorCount(1);
        set->setPagesCountEveryBlock(1);
        EXPECT_EQ(bitmap.storeInBlockSet(set), c.result);
        EXPECT_EQ(bitmap.getLengthOfBlock(), c.blocksNeeded);
        EXPECT_EQ(bitmap.getLengthOfPage(), c.blocksNeeded);
    }
}

// A page bitmap stored in `blocks` blocks of block set 0.
Sptr<PageBitmap> storedIn(const BitmapGeometry& g, int blocks)
{
    Sptr<PageBitmap> bitmap(new PageBitmap(g));
    Sptr<BlockSet> set = setOf(g, {0});
    set->setSectorCount(1);
    set->setPagesCountEveryBlock(1);
    (void)bitmap->storeInBlockSet(set);  // the counts it sets are what is looked at
    EXPECT_EQ(bitmap->getLengthOfBlock(), blocks);
    return bitmap;
}

class FlagTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        schema::UsbConfiguration::instance("");
        schema::UsbConfiguration::instance()->setCurrentFunction(schema::FUNCTION_FACTORY);
    }
};

TEST_F(FlagTable, RepeatsTheBitsOfTheBlocksThatHoldThePageBitmap)
{
    const BitmapGeometry g = geometry(1, 192, 64, 4);
    Sptr<PageBitmap> pages = storedIn(g, 3);
    pages->updatePageBitmapFromBlockSet(setOf(g, {5, 7}), 1);
    BitRange::set(pages->getBitmap(), 5 * 64 + 9);
    FlagPageBitmap table(pages);
    EXPECT_EQ(table.getLength(), 512);
    EXPECT_EQ(table.getBitmap()[0], 0xFF);

    // consecutive pages in one block count once; a block met again is copied again
    ASSERT_EQ(table.rebuild({5, 5, 9, 5}), 0);
    EXPECT_EQ(table.getBitmap()[1], 0x02);
    for (int i = 8; i < 16; ++i) {
        EXPECT_EQ(table.getBitmap()[i], 0xFF) << i;
    }
    EXPECT_EQ(table.getBitmap()[17], 0x02);
    for (int i = 24; i < 512; ++i) {
        ASSERT_EQ(table.getBitmap()[i], 0) << i;
    }
}

TEST_F(FlagTable, PageBitmapBlocksMustFitOneSector)
{
    // 256 pages per block: 16 blocks of 32 bytes fill the sector exactly.
    FlagPageBitmap exact(storedIn(geometry(1, 256, 256, 1), 16));
    EXPECT_EQ(exact.getLength(), 512);
    EXPECT_EQ(exact.rebuild({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}), 0);
    EXPECT_EQ(exact.rebuild({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}), -1);

    try {
        FlagPageBitmap tooBig(storedIn(geometry(1, 128, 512, 1), 16));
        ADD_FAILURE() << "a 1024-byte flag table was built";
    } catch (const BitmapException& e) {
        EXPECT_EQ(e.getCode(), 0x8021);
    }
    // outside the factory function the table is one sector whatever it holds
    schema::UsbConfiguration::instance()->setCurrentFunction(schema::FUNCTION_USER);
    FlagPageBitmap user(storedIn(geometry(1, 128, 512, 1), 16));
    EXPECT_EQ(user.getLength(), 512);
}

}  // namespace
}  // namespace Tessor::usb::test
