#include "schema/state/UsbStateHighFormat.h"

#include "schema/state/DeviceStateType.h"
#include "usb/ops/hw/UsbOpHwRemove.h"
#include "usb/ops/ui/UsbOpUiCancelProduct.h"
#include "usb/ops/ui/UsbOpUiReleased.h"

namespace Tessor::schema {

using namespace usb;

UsbStateHighFormat::UsbStateHighFormat() : BaseState("StateHighFormat", STATE_HIGH_FORMAT, true) { UsbStateHighFormat::initState(); }

void UsbStateHighFormat::initState()
{
    addOperator(Sptr<BaseOperator>(new UsbOpUiCancelProduct()));
    addOperator(Sptr<BaseOperator>(new UsbOpHwRemove()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiReleased()));
}

}  // namespace Tessor::schema
