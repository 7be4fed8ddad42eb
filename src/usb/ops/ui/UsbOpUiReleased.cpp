#include "usb/ops/ui/UsbOpUiReleased.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::usb {

using namespace schema;

Sptr<BaseState> UsbOpUiReleased::process(Sptr<BaseEvent> event)
{
    if (getUiEventType(event) != UI_SIG_RELEASED) {
        return noState;
    }
    doCpLog(event);
    shutdownDevice(event);
    return lookupDeviceState(event, STATE_UNPLUG);
}

}  // namespace Tessor::usb
