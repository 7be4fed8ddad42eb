#include "usb/task/lFormat/TaskLfCreateSetList.h"

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/AddressFactory.h"
#include "usb/cmd/FlagPageBitmap.h"
#include "usb/cmd/LowLevelFormatStep.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/cmd/SetList.h"

namespace Tessor::schema {

namespace {

bool isIndexPointerFirmware(UsbDevice* device)
{
    const VERSION_T v = device->getVersion()->getVersionNumber();
    return v == VERSION_6716V31 || v == VERSION_6716V32 || v == VERSION_6726;
}

int fail(const Sptr<BaseEvent>& event, const std::string& cause = "")
{
    event->setErrorCode(DeviceCode::TOO_MANY_BAD_BLOCKS);
    if (!cause.empty()) {
        event->setErrorCause(cause);
    }
    return -DeviceCode::TOO_MANY_BAD_BLOCKS;
}

}  // namespace

TaskLfCreateSetList::TaskLfCreateSetList(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name)
{
    init();
}

int TaskLfCreateSetList::init()
{
    TESSOR_ASSERT(getType() == TASK_CREATE_SET_LIST);
    return 0;
}

int TaskLfCreateSetList::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    init();
    const uint32_t start = SystemInfo::getSystemTick();
    Sptr<usb::SectorBitmap> sectors = device->getSectorBitmap();
    TESSOR_ASSERT(sectors);
    TESSOR_ASSERT(device->getVersion());
    if (isIndexPointerFirmware(device)) {
        Sptr<BaseAddress> index = device->getAddress()->allocateIndexPointerAddr(device);
        if (!index) {
            CPLOG(3, "%s allocate Pointer Table failed", device->getName());
            return fail(event);
        }
        device->setPerAllocateCfgIndexPtr(index);
    }
    sectors->setupList();
    usb::LowLevelFormatStep step(device, "CreatList");
    if (step.setupSetList(1) != 0) {
        return fail(event, step.getRefusal());
    }
    Sptr<usb::SetList> list = step.getSetList();
    if (!list) {
        CPLOG(3, "%s get SetList failed", device->getName());
        return fail(event);
    }
    const uint32_t elapsed = SystemInfo::getSystemTick() - start;
    CPLOG(7, " TaskLfCreateSetList elasped %d s %d ms", static_cast<int>(elapsed / 1000),
          static_cast<int>(elapsed % 1000));
    Sptr<ConfigInfo> settings = device->getConfigInfo();
    const bool blockMode = settings && settings->checkBlockMode();
    if (!blockMode && device->getCurrentPlaneInfo()->getTotalPlanes() == 1 && device->getFlagBitmap() &&
        device->getFlagBitmap()->update(device) != 0) {
        CPLOG(3, "%s: the flag table cannot repeat the page bitmap's blocks", device->getName());
        event->setErrorCode(DeviceCode::BAD_BLOCK_TABLE_WRITE_FAILED);
        return -DeviceCode::BAD_BLOCK_TABLE_WRITE_FAILED;
    }
    device->setSetList(list);
    list->debug();
    return 0;
}

}  // namespace Tessor::schema
