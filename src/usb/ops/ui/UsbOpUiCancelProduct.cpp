#include "usb/ops/ui/UsbOpUiCancelProduct.h"

#include "schema/base/DeviceCode.h"
#include "schema/device/UsbDevice.h"
#include "schema/state/DeviceStateType.h"

namespace Tessor::usb {

using namespace schema;

Sptr<BaseState> UsbOpUiCancelProduct::process(Sptr<BaseEvent> event)
{
    if (getUiEventType(event) != UI_SIG_CANCEL) {
        return noState;
    }
    doCpLog(event);
    hasUsbDevice(event)->resetCancel();
    // The report goes out without the cancel code: a cancelled device waits
    // for its next start and is not ejected.
    sendUiEvent(event, UI_SIG_CANCEL);
    event->setErrorCode(DeviceCode::CANCELLED);
    return lookupDeviceState(event, STATE_WAIT);
}

}  // namespace Tessor::usb
