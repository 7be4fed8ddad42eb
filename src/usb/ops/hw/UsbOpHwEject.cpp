#include "usb/ops/hw/UsbOpHwEject.h"

#include "schema/base/DeviceCode.h"
#include "schema/device/UsbDevice.h"
#include "schema/state/DeviceStateType.h"

namespace Tessor::usb {

using namespace schema;

Sptr<BaseState> UsbOpHwEject::process(Sptr<BaseEvent> event)
{
    switch (getHwEventType(event)) {
    case HW_EVT_EJECTED:
        doCpLog(event);
        if (hasUsbDevice(event)->takeRemovalReport()) {
            sendUiEvent(event, UI_SIG_PLUGGED_OFF);
        }
        shutdownDevice(event);
        return lookupDeviceState(event, STATE_UNPLUG);
    case HW_EVT_EJECT_FAILED:
        // The window learns of it; the device stays until it is removed or
        // released.
        doCpLog(event);
        event->setErrorCode(DeviceCode::EJECT_FAILED);
        sendUiEvent(event, UI_SIG_STATUS);
        return noState;
    default:
        return noState;
    }
}

}  // namespace Tessor::usb
