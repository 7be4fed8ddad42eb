#include "schema/state/UsbStateScan.h"

#include "schema/state/DeviceStateType.h"
#include "usb/ops/hw/UsbOpHwRemove.h"
#include "usb/ops/ui/UsbOpUiCancelProduct.h"
#include "usb/ops/ui/UsbOpUiReleased.h"

namespace Tessor::schema {

using namespace usb;

UsbStateScan::UsbStateScan() : BaseState("StateScan", STATE_SCAN, true) { UsbStateScan::initState(); }

void UsbStateScan::initState()
{
    addOperator(Sptr<BaseOperator>(new UsbOpHwRemove()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiCancelProduct()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiReleased()));
}

}  // namespace Tessor::schema
