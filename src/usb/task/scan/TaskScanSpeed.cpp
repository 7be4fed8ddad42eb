#include "usb/task/scan/TaskScanSpeed.h"

#include <cstring>

#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "schema/event/BaseEvent.h"
#include "usb/scan/SampleFactory.h"
#include "usb/scan/ScanObjectRaw.h"

namespace Tessor::usb {

namespace {

constexpr int kSpeedCodes[] = {TaskScanSpeed::AUTOMATIC, 0x0000, 0x0101, 0x1111, 0x1313};
constexpr int kTrials[] = {0x0000, 0x1111, 0x1313};
constexpr int kProbeBlocks = 8;
constexpr int kTrialSample = 2;

}  // namespace

TaskScanSpeed::TaskScanSpeed(schema::TASK_TYPE_T type, const std::string& name) : BaseTask(type, name) {}

int TaskScanSpeed::speedCode(int choice)
{
    return choice >= 0 && choice < static_cast<int>(std::size(kSpeedCodes)) ? kSpeedCodes[choice] : choice;
}

int TaskScanSpeed::init()
{
    TESSOR_ASSERT(getType() == schema::TASK_SCAN_SPEED);
    return 0;
}

int TaskScanSpeed::startup(schema::UsbDevice* device, Sptr<schema::BaseEvent> event)
{
    init();
    Sptr<schema::ScanConfig> settings = device->getScanConfig();
    settings->setScanSpeed(speedCode(settings->getScanSpeed()));
    const schema::DiskInfo& disk = *device->getDiskInfo();
    if (disk.getSectorsPerPage() == 1 || (settings->getScanPriority() == 2 && disk.getPagesPerBlock() > 64)) {
        settings->setScanSpeed(NO_PROBE);
        CPLOG(7, "Select Speed = %d", NO_PROBE);
        return 0;
    }
    if (settings->getScanSpeed() != AUTOMATIC) {
        CPLOG(7, "Select Speed = %d", settings->getScanSpeed());
        return 0;
    }
    Sptr<ScanObjectSpeed> engine(new ScanObjectSpeed(device, "ScanObject4Speed", kProbeBlocks));
    settings->setScanSpeed(SLOWEST);
    if (const int result = engine->updateCfgAndCode(CMD_EXTERNAL_AS_SCAN_CODE); result != 0) {
        event->setErrorCode(result);
        return -result;
    }
    const int result = engine->scan();
    if (result != 0) {
        // A stop or an eject ends the step with its own code.
        const int code = result == device->checkCancel() ? result : schema::DeviceCode::INDEX_TABLE_FAILED;
        event->setErrorCode(code);
        return -code;
    }
    if (engine->getFirstGoodSector() >= 0) {
        for (const int speed : kTrials) {
            if (trySpeed(device, engine, speed) > 0) {
                return 0;
            }
        }
    }
    // Nothing to try on, or no trial passed: the slowest code stays.
    settings->setScanSpeed(SLOWEST);
    CPLOG(7, "Select Speed = %d", SLOWEST);
    return 0;
}

int TaskScanSpeed::trySpeed(schema::UsbDevice* device, const Sptr<ScanObjectSpeed>& engine, int speed)
{
    device->getScanConfig()->setScanSpeed(speed);
    // A trial the device did not take the speed for would pass at the speed before it.
    if (engine->updateCfgAndCode(CMD_EXTERNAL_AS_SCAN_CODE) != 0) {
        CPLOG(3, "The table with speed 0x%x did not reach disk '%s'", speed, device->getName());
        return -1;
    }
    const unsigned char* sample =
        reinterpret_cast<const unsigned char*>(SampleFactory::instance()->getSampleBuffer(kTrialSample, false));
    const int sector = engine->getFirstGoodSector();
    // A failed erase only fails this trial.
    (void)device->eraseBlocks(sector / device->getDiskInfo()->getSectorsPerBlock(), 1);
    if (device->writeFlashSectors(0, sector, 1, sample) != 0) {
        CPLOG(3, "Write sector failed on disk '%s' with speed as 0x%x", device->getName(), speed);
        return -1;
    }
    const unsigned char* read = device->readFlashSectors(0, sector, 1);
    if (read == nullptr) {
        CPLOG(3, "Read Sector failed on disk '%s' with speed as 0x%x", device->getName(), speed);
        return -1;
    }
    if (std::memcmp(read, sample, SECTOR_BYTES) != 0) {
        CPLOG(3, "Data compare failed with speed as 0x%x", speed);
        return -1;
    }
    return 1;
}

}  // namespace Tessor::usb
