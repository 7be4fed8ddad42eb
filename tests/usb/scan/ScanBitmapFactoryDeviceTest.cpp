// The pattern factory reads the block size and the flash kind from the device.
#include <gtest/gtest.h>

#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "usb/ops/UsbProduction.h"
#include "usb/profile/FlashInfo.h"
#include "usb/scan/ScanBitmapFactory.h"

namespace Tessor::usb {
namespace {

Sptr<FlashInfo> flash(int pagesPerBlock, bool tlc)
{
    Sptr<FlashInfo> info(new FlashInfo());
    info->setChipsPerDisk(1);
    info->getChipInfo()->BlockPerChip = 1024;
    info->getChipInfo()->PagePerBlock = pagesPerBlock;
    info->getChipInfo()->SectorPerPage = 8;
    info->getChipInfo()->TLC = tlc ? 1 : 0;
    return info;
}

TEST(ScanBitmapFactoryDevice, FollowsTheDevicesFlash)
{
    schema::UsbConfiguration::instance("");
    const struct {
        int pagesPerBlock;
        bool tlc;
        int result;
        _SCAN_PAGE_MODE held;
    } cases[] = {
        {128, false, 0, SCAN_PAGE_6L_LOW},
        {256, true, 0, SCAN_PAGE_TLC_AB},
        {8, false, -0x8026, SCAN_PAGE_ALL},
        {96, true, -0x8026, SCAN_PAGE_TLC_ALL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pagesPerBlock << (c.tlc ? " TLC" : ""));
        Tessor::usb::installUsbProduction();
        schema::UsbDevice device(nullptr, 0, "UDISK-0");
        device.setFlashInfo(flash(c.pagesPerBlock, c.tlc));
        Sptr<ScanBitmapFactory> factory;
        ASSERT_EQ(c.result, ScanBitmapFactory::create(&device, factory));
        if (c.result == 0) {
            EXPECT_EQ(c.pagesPerBlock, factory->getScanBitmap(c.held)->getPagesPerBlock());
            EXPECT_EQ(&device, factory->getDevice());
        }
    }
}

}  // namespace
}  // namespace Tessor::usb
