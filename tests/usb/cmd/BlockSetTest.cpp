#include <gtest/gtest.h>

#include "support/LogCapture.h"
#include "schema/device/DeviceFixture.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/cmd/SetList.h"

namespace Tessor::usb::test {
namespace {

class BlockSets : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        giveGeometry(2, 64, 128, 4);
    }

    Sptr<BlockSet> setOf(int blocks, int sectors, int pages)
    {
        Sptr<BlockSet> set(new BlockSet(device, "Blockset"));
        for (int i = 0; i < blocks; ++i) {
            set->addBlock(i, 10 + i);
        }
        set->setSectorCount(sectors);
        set->setPagesCountEveryBlock(pages);
        return set;
    }
};

TEST_F(BlockSets, NewSetUsesWholePagesOfTheDevice)
{
    BlockSet set(device, "Blockset");
    EXPECT_EQ(set.getValidateBlockCount(), 0);
    EXPECT_EQ(set.getStartSector(), 0);
    EXPECT_EQ(set.getSectorCount(), 4);
    EXPECT_EQ(set.getPagesCountEveryBlock(), 128);
    EXPECT_EQ(set.getPageSize(), 2048);
    EXPECT_EQ(set.getBlockSize(), 2048 * 128);
    BlockSet bare("Blockset");
    EXPECT_EQ(bare.getSectorCount(), 0);
}

TEST_F(BlockSets, BlockMapKeepsPositionsAndCountsEveryAdd)
{
    BlockSet set(device, "Blockset");
    set.addBlock(0, 7);
    set.addBlock(0, 9);
    EXPECT_EQ(set.getBlocksCount(), 1);
    EXPECT_EQ(set.getValidateBlockCount(), 2);
    EXPECT_EQ(set.getBlockNo(0), 9);
    EXPECT_EQ(set.getBlockNo(1), -1);
    EXPECT_EQ(set.getBlockNo(-1), -1);

    set.addBlock(1, 11);
    set.addBlock(2, 13);
    set.removeBlock(11);
    EXPECT_EQ(set.getBlockNo(1), 13);   // keys are not renumbered, order stays
    EXPECT_EQ(set.getValidateBlockCount(), 3);

    test_support::LogCapture log(Tessor::schema::LOG_WARN);
    set.removeBlock(42);
    EXPECT_EQ(set.getBlocksCount(), 2);
    EXPECT_EQ(set.getValidateBlockCount(), 3);
    EXPECT_NE(log.text().find("not found Block with blockNo of 42 when remove"), std::string::npos);
}

TEST_F(BlockSets, SetListOffersTheSectorsOfItsSets)
{
    SetList list(device, "SetList");
    EXPECT_EQ(list.getLength(), 0);
    EXPECT_EQ(list.getValidateSectorsNumber(), 0);
    EXPECT_EQ(list.writeFlash(device), 1);
    list.addData(setOf(100, 2, 64));
    list.addData(setOf(3, 4, 128));
    EXPECT_EQ(list.getValidateSectorsNumber(), 100 * 2 * 64 + 3 * 4 * 128);

    test_support::LogCapture log(Tessor::schema::LOG_DBUG);
    list.debug();
    const std::string text = log.text();
    EXPECT_NE(text.find("Block Set Info :"), std::string::npos);
    EXPECT_NE(text.find("\tNo. 1 BlockSet is :\n\t\tValidateBlockCount \t\t: 3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\tValidate Sectors. 14336 (7 Mb)\n"), std::string::npos) << text;
}

// Block 12 has one page with a bad sector: a set asking every page of its
// blocks cannot be laid out, one asking a page less can.
TEST_F(BlockSets, PageBitmapOfASetListMarksThePagesItsSetsUse)
{
    Sptr<SectorBitmap> sectors(new SectorBitmap(device, "MyDevice0Bitmap"));
    constexpr int64_t perBlock = 128 * 4;
    BitRange::set(sectors->getBitmap(), 12 * perBlock + 5 * 4 + 1);
    device->setSectorBitmap(sectors);
    for (int pages : {128, 127}) {
        SCOPED_TRACE(pages);
        SetList list(device, "SetList");
        list.addData(setOf(3, 4, pages));
        test_support::LogCapture log;
        Sptr<PageBitmap> bitmap = list.createPageBitmap();
        if (pages == 128) {
            EXPECT_FALSE(bitmap);
            EXPECT_NE(log.text().find("create PageBitmap from No. 0 BlockSet Failed"), std::string::npos);
            continue;
        }
        ASSERT_TRUE(bitmap);
        const unsigned char* bits = bitmap->getBitmap();
        EXPECT_FALSE(BitRange::test(bits, 10 * 128 + 126));
        EXPECT_TRUE(BitRange::test(bits, 10 * 128 + 127));
        EXPECT_FALSE(BitRange::test(bits, 12 * 128 + 4));
        EXPECT_TRUE(BitRange::test(bits, 12 * 128 + 5));
        EXPECT_FALSE(BitRange::test(bits, 12 * 128 + 127));
        EXPECT_TRUE(BitRange::test(bits, 13 * 128));
    }
}

}  // namespace
}  // namespace Tessor::usb::test
