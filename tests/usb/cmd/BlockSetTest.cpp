#include <gtest/gtest.h>

#include "schema/base/LogCapture.h"
#include "schema/device/DeviceFixture.h"
#include "usb/cmd/BlockSet.h"
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

    LogCapture log(Tessor::schema::LOG_WARN);
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

    LogCapture log(Tessor::schema::LOG_DBUG);
    list.debug();
    const std::string text = log.text();
    EXPECT_NE(text.find("Block Set Info :"), std::string::npos);
    EXPECT_NE(text.find("\tNo. 1 BlockSet is :\n\t\tValidateBlockCount \t\t: 3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\tValidate Sectors. 14336 (7 Mb)\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace Tessor::usb::test
