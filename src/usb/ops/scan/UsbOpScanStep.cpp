#include "usb/ops/scan/UsbOpScanStep.h"

#include "schema/event/DeviceEvent.h"
#include "schema/state/DeviceStateType.h"

namespace Tessor::usb {

Sptr<schema::BaseState> UsbOpScanStep::chain(const Sptr<schema::BaseEvent>& event, schema::DeviceSignalType next)
{
    if (event->getErrorCode() != 0) {
        return lookupDeviceState(event, schema::STATE_ERROR);
    }
    isDeviceEvent(event)->setType(next);
    return schema::noState;
}

}  // namespace Tessor::usb
