#include "usb/task/scan/TaskScanScan.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/VException.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "schema/event/BaseEvent.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/profile/FlashInfo.h"
#include "usb/scan/ScanBitmapFactory.h"
#include "usb/scan/ScanLimits.h"
#include "usb/scan/ScanObjectFromFlash.h"
#include "usb/scan/ScanMode.h"
#include "usb/scan/ScanObjectLittle.h"
#include "usb/scan/ScanObjectScan.h"
#include "usb/task/scan/TaskScanSpeed.h"

namespace Tessor::schema {

namespace {

void giveMode(UsbDevice* device, _SCAN_PAGE_MODE page, int proScanMode)
{
    Sptr<usb::ScanBitmapFactory> patterns = device->getScanBitmapFactory();
    TESSOR_ASSERT(patterns);
    Sptr<usb::ScanMode> mode(new usb::ScanMode(SCAN_BLOCK_ALL, "OptimizedScanBlockMode"));
    mode->setScanBitmap(patterns->getScanBitmap(page));
    device->setScanMode(mode);
    device->setProScanMode(proScanMode);
}

// The engine for the run's scan level and flash, and the firmware it scans with.
Sptr<usb::ScanObject> makeEngine(UsbDevice* device, usb::CMD_COMMON_T* firmware)
{
    Sptr<ScanConfig> settings = device->getScanConfig();
    const int level = settings->getScanLevel();
    if (level == 3) {
        CPLOG(7, "SCAN Level : 3, read Bitmap from flash and begin to product");
        // No probe runs at this level: the image is read at the chosen speed,
        // or the slowest when the choice is automatic, never at a choice
        // number taken for a code.
        const int code = usb::TaskScanSpeed::speedCode(settings->getScanSpeed());
        settings->setScanSpeed(code == usb::TaskScanSpeed::AUTOMATIC ? usb::TaskScanSpeed::SLOWEST : code);
        *firmware = usb::CMD_EXTERNAL_AS_SCAN_CODE;
        return Sptr<usb::ScanObject>(new usb::ScanObjectFromFlash(device, "ScanObjectFromFlash"));
    }
    if (device->getDiskInfo()->getSectorsPerPage() == 1 && usb::isSmallPageFirmware(device)) {
        *firmware = usb::CMD_EXTERNAL_AS_SCAN_CODE;
        return Sptr<usb::ScanObject>(new usb::ScanObjectLittle(device, "ScanObject4LittlePage"));
    }
    const int priority = settings->getScanPriority();
    const bool tlc = device->getFlashInfo()->getChipInfo()->TLC != 0;
    if (priority == 0 || priority == 1) {
        giveMode(device, tlc ? SCAN_PAGE_TLC_ALL : SCAN_PAGE_ALL, 1);
    } else if (priority == 3) {
        giveMode(device, SCAN_PAGE_FRONT2, 0);
    }
    Sptr<usb::ScanObject> engine(new usb::ScanObjectScan(device, "ScanObject4ScanCode"));
    TESSOR_ASSERT(engine);
    engine->setScanMode(device->getScanMode());
    *firmware = usb::CMD_SCAN_CODE;
    return engine;
}

}  // namespace

TaskScanScan::TaskScanScan(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name) {}

int TaskScanScan::init()
{
    TESSOR_ASSERT(getType() == TASK_SCAN);
    return 0;
}

int TaskScanScan::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    init();
    Sptr<usb::ScanObject> engine;
    usb::CMD_COMMON_T firmware = usb::CMD_SCAN_CODE;
    try {
        engine = makeEngine(device, &firmware);
    } catch (const usb::BitmapException& e) {
        // A flash the bitmaps cannot describe fails this device only.
        CPLOG(3, "%s: %s", device->getName(), e.what());
        event->setErrorCode(e.getCode());
        return -e.getCode();
    }
    // A scan with a table or firmware the device did not take finds nothing
    // the bitmaps could trust.
    if (const int result = engine->updateCfgAndCode(firmware); result != 0) {
        event->setErrorCode(result);
        return -result;
    }
    const uint32_t started = SystemInfo::getSystemTick();
    if (const int result = engine->scan(); result != 0) {
        event->setErrorCode(result);
        return -result;
    }
    const uint32_t elapsed = SystemInfo::getSystemTick() - started;
    CPLOG(7, "Flash Scan elasped %d s %d ms", elapsed / 1000, elapsed % 1000);
    Sptr<usb::SectorBitmap> bitmap = engine->getSectorBitmap();
    bitmap->getBlockBitmap()->setAsGood();
    (void)bitmap->update(device);  // judged in memory: nothing can fail
    (void)bitmap->write();         // a copy for diagnosis only
    device->setSectorBitmap(bitmap);
    (void)engine->getTable().update4Scan(false);  // the scan goes on whatever the table reports
    return 0;
}

}  // namespace Tessor::schema
