#include "usb/task/scan/TaskScanPreScan.h"

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "schema/event/BaseEvent.h"
#include "usb/profile/FlashInfo.h"
#include "usb/scan/ScanBitmapFactory.h"
#include "usb/scan/ScanMode.h"
#include "usb/scan/ScanObjectScanPre.h"

namespace Tessor::schema {

TaskScanPreScan::TaskScanPreScan(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name) {}

int TaskScanPreScan::init()
{
    TESSOR_ASSERT(getType() == TASK_PRE_SCAN);
    return 0;
}

int TaskScanPreScan::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    init();
    Sptr<usb::ScanBitmapFactory> patterns;
    if (usb::ScanBitmapFactory::create(device, patterns) != 0 || !patterns) {
        event->setErrorCode(DeviceCode::SCAN_BITMAP_FAILED);
        return -DeviceCode::SCAN_BITMAP_FAILED;
    }
    device->setScanBitmapFactory(patterns);
    if (device->getScanConfig()->getScanPriority() != 2) {
        return 0;
    }
    Sptr<usb::ScanObjectScanPre> engine(new usb::ScanObjectScanPre(device, "ScanObjectPreScan"));
    if (const int result = engine->updateCfgAndCode(usb::CMD_SCAN_CODE); result != 0) {
        CPLOG(3, "ScanObject updateCfg and code failed");
        event->setErrorCode(result);
        return -result;
    }
    const uint32_t started = SystemInfo::getSystemTick();
    if (device->getDiskInfo()->getSectorsPerPage() == 1) {
        Sptr<usb::ScanMode> mode(new usb::ScanMode(SCAN_BLOCK_ALL, "LittlePageScanAllBlock"));
        mode->setScanBitmap(patterns->getScanBitmap(SCAN_PAGE_ALL));
        device->setScanMode(mode);
    } else {
        if (const int result = engine->scan(); result != 0) {
            event->setErrorCode(result);
            return -result;
        }
        const bool tlc = device->getFlashInfo()->getChipInfo()->TLC != 0;
        if ((tlc ? engine->determineTLCMode() : engine->determineMode()) < 0) {
            event->setErrorCode(DeviceCode::PRESCAN_FAILED);
            return -DeviceCode::PRESCAN_FAILED;
        }
    }
    TESSOR_ASSERT(device->hasScanMode());
    const uint32_t elapsed = SystemInfo::getSystemTick() - started;
    CPLOG(7, " PreScan elasped %d s %d ms", elapsed / 1000, elapsed % 1000);
    return 0;
}

}  // namespace Tessor::schema
