#include "usb/task/lFormat/TaskLfAllocateAddr4Dpf.h"

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/UsbDevice.h"
#include "schema/dpf/DpfDevice.h"

namespace Tessor::schema {

TaskLfAllocateAddr4Dpf::TaskLfAllocateAddr4Dpf(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name)
{
    init();
}

int TaskLfAllocateAddr4Dpf::init()
{
    TESSOR_ASSERT(getType() == TASK_ALLOCATE_DPF);
    return 0;
}

int TaskLfAllocateAddr4Dpf::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    init();
    DpfDevice* dpf = device->getDpfDevice();
    TESSOR_ASSERT(dpf != nullptr);
    if (dpf->allocateAddress() != 0) {
        CPLOG(3, "DPF Address Allocation Failed");
        event->setErrorCode(DeviceCode::DPF_ADDRESS_FAILED);
        return -DeviceCode::DPF_ADDRESS_FAILED;
    }
    return 0;
}

}  // namespace Tessor::schema
