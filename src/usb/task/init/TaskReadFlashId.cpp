#include "usb/task/init/TaskReadFlashId.h"

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/UsbDevice.h"
#include "usb/profile/ProfileFlash.h"

namespace Tessor::schema {

TaskReadFlashId::TaskReadFlashId(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name) { init(); }

int TaskReadFlashId::init()
{
    TESSOR_ASSERT(getType() == TASK_READ_FLASH_ID);
    return 0;
}

int TaskReadFlashId::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    init();
    usb::ProfileFlash profile;
    if (profile.parseFlashId(device) < 0) {
        event->setErrorCode(DeviceCode::NO_FLASH_ID);
        return -1;
    }
    CPLOG(7, "read Flash ID OK");
    device->setFlashInfo(profile.getFlashInfo());
    (void)device->volumeControl(VOLUME_AFTER_FLASH_ID);  // not looked at: identification goes on either way
    return 0;
}

}  // namespace Tessor::schema
