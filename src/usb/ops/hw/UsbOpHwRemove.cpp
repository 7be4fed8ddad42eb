#include "usb/ops/hw/UsbOpHwRemove.h"

#include "schema/device/UsbDevice.h"
#include "schema/state/DeviceStateType.h"

namespace Tessor::usb {

using namespace schema;

Sptr<BaseState> UsbOpHwRemove::process(Sptr<BaseEvent> event)
{
    switch (getHwEventType(event)) {
    case HW_EVT_REMOVED:
        // The device stays in its state until the window releases it.
        doCpLog(event);
        if (hasUsbDevice(event)->takeRemovalReport()) {
            sendUiEvent(event, UI_SIG_PLUGGED_OFF);
        }
        return noState;
    case HW_EVT_ERROR:
        doCpLog(event);
        return lookupDeviceState(event, STATE_ERROR);
    default:
        return noState;
    }
}

}  // namespace Tessor::usb
