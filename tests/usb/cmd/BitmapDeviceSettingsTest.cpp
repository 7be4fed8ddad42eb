#include <gtest/gtest.h>

#include "BitmapFixture.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/DeviceFixture.h"
#include "schema/device/PlaneInfo.h"
#include "schema/device/ScanConfig.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::usb::test {
namespace {

using schema::BaseAddress;

// Bitmaps built for a device take its flash, its scan priority and its planes.
class BitmapDeviceSettings : public DeviceFixture {
protected:
    void identify(int chips, int blocks, int realBlocks, int pages, int realPages, int sectors, int priority)
    {
        Sptr<FlashInfo> flash(new FlashInfo());
        flash->setChipsPerDisk(chips);
        _FLASH_CHIP_INFO* chip = flash->getChipInfo();
        chip->BlockPerChip = blocks;
        chip->PagePerBlock = pages;
        chip->SectorPerPage = sectors;
        chip->TLC = realBlocks != blocks || realPages != pages ? 1 : 0;
        chip->RealBlockPerChip = realBlocks;
        chip->RealPagePerBlock = realPages;
        device->setFlashInfo(flash);
        settings = Sptr<schema::ConfigInfo>(new schema::ConfigInfo());
        settings->getScanConfig()->setScanPriority(priority);
        EXPECT_EQ(device->setConfigInfo(settings), 0);
    }

    Sptr<schema::ConfigInfo> settings;
};

TEST_F(BitmapDeviceSettings, TlcFlashMarksExactlyTheAbsentBlocksOfEveryChip)
{
    struct Case {
        int chips, blocks, realBlocks;
    } cases[] = {{1, 4096, 4000}, {2, 64, 61}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.realBlocks);
        identify(c.chips, c.blocks, c.realBlocks, 128, 94, 16, 0);
        SectorBitmap bitmap(device, "SectorBitmap");
        ASSERT_TRUE(bitmap.getGeometry().tlc);
        const int badBlock = (c.chips - 1) * c.blocks + 2;  // a real block of the last chip
        markBad(bitmap, badBlock, 10, 3);
        ASSERT_EQ(bitmap.update(device), 0);
        Sptr<BlockBitmap> blocks = bitmap.getBlockBitmap();
        for (int g = 0; g < c.chips * c.blocks; ++g) {
            const bool absent = g % c.blocks >= c.realBlocks;
            ASSERT_EQ(blocks->isBad(g), absent || g == badBlock) << g;
        }
        // the absent blocks are not counted as bad
        EXPECT_EQ(blocks->getValideBlocks(), c.chips * c.blocks - 1);
    }
}

TEST_F(BitmapDeviceSettings, ScanPriorityOfTheRunDecides)
{
    identify(1, 16, 16, 64, 64, 8, 3);
    SectorBitmap bitmap(device, "SectorBitmap");
    markBad(bitmap, 4, 30, 0);
    markBad(bitmap, 5, 0, 7);
    ASSERT_EQ(bitmap.update(device), 0);
    EXPECT_FALSE(bitmap.getBlockBitmap()->isBad(4));
    EXPECT_EQ(badInBlock(bitmap, 4), 0);
    EXPECT_TRUE(bitmap.getBlockBitmap()->isBad(5));
}

TEST_F(BitmapDeviceSettings, PlanesOfTheDeviceDriveViewsAndAddresses)
{
    identify(1, 16, 16, 64, 64, 4, 0);
    EXPECT_EQ(device->setCurrentPlaneInfo(Sptr<schema::PlaneInfo>(new schema::PlaneInfo(1, 1, 2))), 0);
    SectorBitmap bitmap(device, "SectorBitmap");
    markBad(bitmap, 3, 2, 1);
    ASSERT_EQ(bitmap.setToMultiPlane(device), 0);
    EXPECT_TRUE(isBad(bitmap, 1, 2, 1));
    bitmap.setToSinglePlane(device);
    EXPECT_TRUE(isBad(bitmap, 3, 2, 1));
    EXPECT_FALSE(isBad(bitmap, 1, 2, 1));

    Sptr<BaseAddress> source(new BaseAddress(device, 5, 7, 0));
    Sptr<BaseAddress> target(new BaseAddress(device, 5, 7, 0));
    ASSERT_EQ(bitmap.convertAddress(device, target, source), 0);
    EXPECT_EQ(target->getBlockNo(), 5);   // single-plane layout: unchanged
    settings->setBlockMode(true);
    ASSERT_EQ(bitmap.convertAddress(device, target, source), 0);
    EXPECT_EQ(target->getBlockNo(), 10);
    EXPECT_EQ(target->getPageNo(), 14);
}

}  // namespace
}  // namespace Tessor::usb::test
