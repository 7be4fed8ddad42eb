#include "usb/task/scan/TaskScanWriteBitmap.h"

#include <vector>

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/PlaneInfo.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "schema/event/BaseEvent.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::schema {

TaskScanWriteBitmap::TaskScanWriteBitmap(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name) {}

int TaskScanWriteBitmap::init()
{
    TESSOR_ASSERT(getType() == TASK_WRITE_BITMAP);
    return 0;
}

bool TaskScanWriteBitmap::mostGroupsGood(int goodGroups, int planesPerGroup, int blocks)
{
    return static_cast<float>(goodGroups) * static_cast<float>(planesPerGroup) / static_cast<float>(blocks) >= 0.8f;
}

int TaskScanWriteBitmap::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    init();
    Sptr<usb::SectorBitmap> bitmap = device->getSectorBitmap();
    Sptr<ScanConfig> settings = device->getScanConfig();
    if (settings->getScanLevel() == 0) {
        (void)device->eraseChip();  // a level-0 scan keeps no bitmap; the erase is not checked
    } else {
        const int result = bitmap->writeFlash(device);
        if (result == -1 || result == -2) {
            const int code = result == -1 ? DeviceCode::BITMAP_SAVE_FAILED : DeviceCode::TOO_MANY_BAD_BLOCKS;
            event->setErrorCode(code);
            return -code;
        }
    }
    Sptr<PlaneInfo> plane = device->getCurrentPlaneInfo();
    TESSOR_ASSERT(plane);
    Sptr<usb::BlockBitmap> blocks = bitmap->getBlockBitmap();
    std::vector<unsigned char> groups(static_cast<size_t>(blocks->getLength()), 0xFF);
    blocks->singlePlane2MultiPlane(plane->getPlanePerChip(), plane->getChipCounts() * plane->getInterleavePerChip(),
                                   groups.data());
    const usb::_FLASH_CHIP_INFO& chip = *device->getFlashInfo()->getChipInfo();
    const int perChip = chip.TLC != 0 ? chip.RealBlockPerChip : device->getDiskInfo()->getBlocksPerChip();
    const int total = device->getDiskInfo()->getChipsPerDisk() * perChip;
    const int planes = plane->getChipCounts() * plane->getInterleavePerChip() * plane->getPlanePerChip();
    int good = 0;
    for (int i = 0; i < total / planes; ++i) {
        good += usb::BitRange::test(groups.data(), i) ? 0 : 1;
    }
    const int priority = settings->getScanPriority();
    const bool mostGood = mostGroupsGood(good, planes, total);
    const bool blockMode = mostGood ? priority == 0 || priority == 3 : priority == 3;
    device->getConfigInfo()->setBlockMode(blockMode);
    if (!(mostGood && blockMode)) {
        // Fails only for a null record.
        (void)device->setCurrentPlaneInfo(Sptr<PlaneInfo>(new PlaneInfo(1, 1, 1)));
    }
    return 0;
}

}  // namespace Tessor::schema
