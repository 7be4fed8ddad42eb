#include "schema/state/UsbStateEject.h"

#include "schema/state/DeviceStateType.h"
#include "usb/ops/hw/UsbOpHwEject.h"
#include "usb/ops/hw/UsbOpHwPlugin.h"
#include "usb/ops/hw/UsbOpHwRemove.h"
#include "usb/ops/ui/UsbOpUiReleased.h"

namespace Tessor::schema {

using namespace usb;

UsbStateEject::UsbStateEject() : BaseState("StateEject", STATE_EJECT, false) { UsbStateEject::initState(); }

void UsbStateEject::initState()
{
    addOperator(Sptr<BaseOperator>(new UsbOpHwEject()));
    addOperator(Sptr<BaseOperator>(new UsbOpHwRemove()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiReleased()));
    addOperator(Sptr<BaseOperator>(new UsbOpHwPlugin()));
}

}  // namespace Tessor::schema
