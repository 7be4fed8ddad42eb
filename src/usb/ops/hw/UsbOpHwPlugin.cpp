#include "usb/ops/hw/UsbOpHwPlugin.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::usb {

using namespace schema;

Sptr<BaseState> UsbOpHwPlugin::process(Sptr<BaseEvent> event)
{
    if (getHwEventType(event) != HW_EVT_PLUG_IN) {
        return noState;
    }
    doCpLog(event);
    Sptr<HwEvent> command = isHwEvent(event);
    command->setType(HW_CMD_AFTER_PLUG_IN);
    sendHwCommand(command);
    sendUiEvent(event, UI_SIG_FOUND);
    return lookupDeviceState(event, STATE_INIT);
}

}  // namespace Tessor::usb
