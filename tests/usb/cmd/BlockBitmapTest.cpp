#include <gtest/gtest.h>

#include "BitmapFixture.h"
#include "support/LogCapture.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/BlockSet.h"
#include "schema/device/BaseAddress.h"

namespace Tessor::usb::test {
namespace {

std::vector<int> blocksOf(const BlockSet& set)
{
    std::vector<int> blocks;
    for (int i = 0; i < set.getBlocksCount(); ++i) {
        blocks.push_back(set.getBlockNo(i));
    }
    return blocks;
}

std::vector<int> blocksOf(const Sptr<schema::BaseAddress>& addresses)
{
    std::vector<int> blocks;
    for (int i = 0; addresses && i < addresses->getCount(); ++i) {
        Sptr<schema::BaseAddress> block = addresses->getData(i);
        blocks.push_back(block->getBlockNo());
    }
    return blocks;
}

TEST(BlockBitmapJudge, OneBadSectorMakesABadBlockUnlessPriority3LooksOnlyAtPageZero)
{
    struct Case {
        int priority;
        int page;
        bool bad;
    } cases[] = {{0, 9, true}, {1, 0, true}, {2, 63, true}, {3, 0, true}, {3, 1, false}};
    for (int sectors : {4, 8, 16}) {
        for (const Case& c : cases) {
            SectorBitmap bitmap(geometry(1, 8, 64, sectors), "SectorBitmap");
            markBad(bitmap, 5, c.page, sectors - 1);
            Sptr<BlockBitmap> blocks = bitmap.getBlockBitmap();
            blocks->judgeBlocks(c.priority);
            EXPECT_EQ(blocks->isBad(5), c.bad) << "S " << sectors << " priority " << c.priority;
            EXPECT_EQ(blocks->getValideBlocks(), c.bad ? 7 : 8);
            EXPECT_EQ(blocks->findFirstFreeBlock(), 0);
        }
    }
}

TEST(BlockBitmapJudge, AllBadFlashHasNoFreeBlock)
{
    SectorBitmap bitmap(geometry(1, 8, 64, 4), "SectorBitmap");
    for (int block = 0; block < 8; ++block) {
        bitmap.setAsBad(block);
    }
    bitmap.getBlockBitmap()->judgeBlocks(0);
    EXPECT_EQ(bitmap.getBlockBitmap()->findFirstFreeBlock(), -1);
    EXPECT_EQ(bitmap.getBlockBitmap()->getValideBlocks(), 0);
}

struct TlcCase {
    int chips;
    int blocksPerChip;
    int realBlocks;
};

class BlockBitmapTlc : public ::testing::TestWithParam<TlcCase> {};

TEST_P(BlockBitmapTlc, MarksExactlyTheAbsentBlocksOfEveryChip)
{
    const TlcCase c = GetParam();
    SectorBitmap bitmap(tlcGeometry(c.chips, c.blocksPerChip, c.realBlocks, 128, 94, 16), "SectorBitmap");
    const int lastChipFirst = (c.chips - 1) * c.blocksPerChip;
    markBad(bitmap, lastChipFirst + 1, 93, 0);   // a real block of the last chip
    markBad(bitmap, lastChipFirst + 2, 94, 0);   // a page the flash does not have
    Sptr<BlockBitmap> blocks = bitmap.getBlockBitmap();
    blocks->judgeTlcBlocks(0);
    for (int chip = 0; chip < c.chips; ++chip) {
        for (int block = 0; block < c.blocksPerChip; ++block) {
            const int g = chip * c.blocksPerChip + block;
            const bool expected = block >= c.realBlocks || g == lastChipFirst + 1;
            ASSERT_EQ(blocks->isBad(g), expected) << "chip " << chip << " block " << block;
        }
    }
    // absent blocks are not counted as bad
    EXPECT_EQ(blocks->getValideBlocks(), c.chips * c.blocksPerChip - 1);
}

INSTANTIATE_TEST_SUITE_P(Geometries, BlockBitmapTlc,
    ::testing::Values(TlcCase{1, 4096, 4000}, TlcCase{2, 64, 61}, TlcCase{3, 32, 27}));

TEST(BlockBitmapAllocate, PhotoFrameBlocksComePastTheFirstElevenGoodBlocks)
{
    SectorBitmap bitmap(geometry(1, 32, 16, 4), "SectorBitmap");
    for (int block = 21; block < 32; ++block) {
        bitmap.setAsBad(block);
    }
    bitmap.setAsBad(4);
    Sptr<BlockBitmap> blocks = bitmap.getBlockBitmap();
    blocks->judgeBlocks(0);
    EXPECT_EQ(blocksOf(blocks->allocateBlockAddresses(3)), (std::vector<int>{12, 13, 14}));
    EXPECT_TRUE(blocks->isBad(13));
    EXPECT_EQ(badInBlock(bitmap, 13), 16 * 4);
    EXPECT_EQ(blocksOf(blocks->allocateBlockAddresses(0)), (std::vector<int>{15}));
    // 16..20 left: asking for more fails, the blocks taken stay taken
    EXPECT_FALSE(blocks->allocateBlockAddresses(6));
    EXPECT_TRUE(blocks->isBad(20));
}

TEST(BlockBitmapAllocate, OwnPlaceIsTheFirstGoodSectorOfTheBlock)
{
    SectorBitmap bitmap(geometry(1, 8, 16, 4), "SectorBitmap");
    markBad(bitmap, 2, 0, 0);
    markBad(bitmap, 2, 0, 1);
    Sptr<BlockBitmap> blocks = bitmap.getBlockBitmap();
    Sptr<schema::BaseAddress> own = blocks->allocateAddresses(2);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->getPhyAddress(), sectorOf(bitmap, 2, 0, 2));
    EXPECT_EQ(blocks->getAddress()->getPhyAddress(), own->getPhyAddress());
    EXPECT_TRUE(blocks->isBad(2));
    EXPECT_EQ(badInBlock(bitmap, 2), 64);
    EXPECT_FALSE(blocks->allocateAddresses(2));
}

TEST(BlockBitmapSets, LoadsGoodBlocksInEachPlaneArrangement)
{
    SectorBitmap bitmap(geometry(1, 8, 64, 4), "SectorBitmap");
    markBad(bitmap, 3, 10, 1);
    Sptr<BlockBitmap> blocks = bitmap.getBlockBitmap();
    blocks->judgeBlocks(0);

    Sptr<BlockSet> single(new BlockSet("Blockset"));
    {
        test_support::LogCapture log(Tessor::schema::LOG_DSTK);
        blocks->addIntoBlockSet(single);
        EXPECT_NE(log.text().find("add block NO = 4"), std::string::npos) << log.text();
    }
    EXPECT_EQ(blocksOf(*single), (std::vector<int>{0, 1, 2, 4, 5, 6, 7}));
    EXPECT_EQ(single->getValidateBlockCount(), 7);
    EXPECT_EQ(single->getPagesCountEveryBlock(), 64);
    EXPECT_EQ(single->getSectorCount(), 4);

    Sptr<BlockSet> multi(new BlockSet("Blockset"));
    ASSERT_EQ(blocks->addIntoBlockSetInMultiPlaneMode(multi, 2, 1), 0);
    EXPECT_EQ(blocksOf(*multi), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(multi->getPagesCountEveryBlock(), 128);

    // back from the folded form: both planes of multi-plane block 1 are bad
    ASSERT_EQ(blocks->addIntoBlockSetInSinglePlaneMode(multi, 2, 1), 0);
    EXPECT_EQ(blocksOf(*multi), (std::vector<int>{0, 1, 4, 5, 6, 7}));
    EXPECT_EQ(multi->getValidateBlockCount(), 6);
    EXPECT_EQ(multi->getPagesCountEveryBlock(), 64);
}

TEST(BlockBitmapPlanes, FoldsGroupsAndExpandsToEveryGroup)
{
    // 2 planes, 2 groups of 8 blocks: multi-plane block j combines blocks
    // 2j, 2j+1, 8+2j, 8+2j+1.
    SectorBitmap bitmap(geometry(2, 8, 16, 4), "SectorBitmap");
    bitmap.setAsBad(11);
    Sptr<BlockBitmap> blocks = bitmap.getBlockBitmap();
    blocks->judgeBlocks(0);
    std::vector<unsigned char> folded(static_cast<size_t>(blocks->getLength()));
    ASSERT_EQ(blocks->singlePlane2MultiPlane(2, 2, folded.data()), 0);
    EXPECT_EQ(folded[0], 0xF2);  // block 1 bad, blocks past the fourth do not exist

    Sptr<BlockSet> set(new BlockSet("Blockset"));
    ASSERT_EQ(blocks->addIntoBlockSetInMultiPlaneMode(set, 2, 2), 0);
    EXPECT_EQ(blocksOf(*set), (std::vector<int>{0, 2, 3}));
    std::vector<unsigned char> expanded(static_cast<size_t>(blocks->getLength()));
    ASSERT_EQ(blocks->MultiPlane2singlePlane(2, 2, expanded.data()), 0);
    EXPECT_EQ(expanded[0], 0x0C);
    EXPECT_EQ(expanded[1], 0x0C);
}

}  // namespace
}  // namespace Tessor::usb::test
