#include "usb/ops/init/UsbOpReadFlashId.h"

#include "schema/base/DeviceCode.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "schema/state/DeviceStateType.h"
#include "usb/task/init/TaskReadFlashId.h"

namespace Tessor::usb {

using namespace schema;

void UsbOpReadFlashId::init()
{
    addTasks(Sptr<BaseTask>(new TaskReadFlashId(TASK_READ_FLASH_ID, "INIT::ScanFlashId")));
}

Sptr<BaseState> UsbOpReadFlashId::process(Sptr<BaseEvent> event)
{
    if (getDeviceEventType(event) != DEV_SIG_READ_FLASH_ID) {
        return noState;
    }
    doCpLog(event);
    runTasks(event);
    if (event->getErrorCode() != 0) {
        return lookupDeviceState(event, STATE_ERROR);
    }
    if (hasUsbDevice(event)->getFlashInfo() ||
        UsbConfiguration::instance()->getCurrentFunction() != FUNCTION_FACTORY) {
        sendUiEvent(event, UI_SIG_READY);
        return lookupDeviceState(event, STATE_WAIT);
    }
    event->setErrorCode(DeviceCode::NO_FLASH_INFO);
    return lookupDeviceState(event, STATE_ERROR);
}

}  // namespace Tessor::usb
