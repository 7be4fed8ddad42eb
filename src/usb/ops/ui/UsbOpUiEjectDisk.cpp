#include "usb/ops/ui/UsbOpUiEjectDisk.h"

#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/UsbDevice.h"
#include "schema/state/DeviceStateType.h"

namespace Tessor::usb {

using namespace schema;

Sptr<BaseState> UsbOpUiEjectDisk::process(Sptr<BaseEvent> event)
{
    if (getUiEventType(event) != UI_SIG_EJECT) {
        return noState;
    }
    doCpLog(event);
    UsbDevice* device = hasUsbDevice(event);
    device->resetCancel();
    if (device->ejectDisk() != 0) {
        CPLOG(3, "Eject USB disk failed with the device %s", device->getName());
        event->setErrorCode(DeviceCode::EJECT_FAILED);
        return lookupDeviceState(event, STATE_ERROR);
    }
    CPLOG(7, "USB disk with the device %s ejected", device->getName());
    return lookupDeviceState(event, STATE_EJECT);
}

}  // namespace Tessor::usb
