#include "usb/ops/lFormat/UsbOpLfCreateBlockSet.h"

#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/task/lFormat/TaskLfAllocateAddr4Dpf.h"
#include "usb/task/lFormat/TaskLfCreateSetList.h"

namespace Tessor::usb {

using namespace schema;

UsbOpLfCreateBlockSet::UsbOpLfCreateBlockSet() : UsbOpLfStep("CreateBlockSet", 50, DEV_SIG_CREATE_BLOCK_SET)
{
    init();
}

void UsbOpLfCreateBlockSet::init()
{
    if (UsbConfiguration::instance()->isDpfSupport()) {
        addTasks(Sptr<BaseTask>(new TaskLfAllocateAddr4Dpf(TASK_ALLOCATE_DPF, "LF::AllocateAddr4Dpf")));
    }
    addTasks(Sptr<BaseTask>(new TaskLfCreateSetList(TASK_CREATE_SET_LIST, "LF::CreateBlockList")));
}

Sptr<BaseState> UsbOpLfCreateBlockSet::process(Sptr<BaseEvent> event)
{
    if (!takes(event)) {
        return noState;
    }
    UsbDevice* device = hasUsbDevice(event);
    addTasksParams(Sptr<BaseData>(device->getSectorBitmap()));
    if (device->getScanConfig()->getScanLevel() != 2) {
        runTasks(event);
    }
    updateToTotalProcess(event);
    if (event->getErrorCode() != 0) {
        CPLOG(3, "CreateBlockSet Error");
        return errorState(event);
    }
    return chain(event, DEV_SIG_CREATE_INDEX_MAP);
}

}  // namespace Tessor::usb
