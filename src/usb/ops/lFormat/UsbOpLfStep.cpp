#include "usb/ops/lFormat/UsbOpLfStep.h"

#include "schema/state/DeviceStateType.h"

namespace Tessor::usb {

void UsbOpLfStep::runToTotal(const Sptr<schema::BaseEvent>& event)
{
    runTasks(event);
    updateToTotalProcess(event);
}

Sptr<schema::BaseState> UsbOpLfStep::errorState(const Sptr<schema::BaseEvent>& event)
{
    return lookupDeviceState(event, schema::STATE_ERROR);
}

}  // namespace Tessor::usb
