#include "schema/state/UsbStateUnplug.h"

#include "schema/state/DeviceStateType.h"
#include "usb/ops/hw/UsbOpHwPlugin.h"

namespace Tessor::schema {

using namespace usb;

UsbStateUnplug::UsbStateUnplug() : BaseState("StateUnplug", STATE_UNPLUG, false) { UsbStateUnplug::initState(); }

void UsbStateUnplug::initState()
{
    addOperator(Sptr<BaseOperator>(new UsbOpHwPlugin()));
}

}  // namespace Tessor::schema
