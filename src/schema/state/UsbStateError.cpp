#include "schema/state/UsbStateError.h"

#include "schema/state/DeviceStateType.h"
#include "usb/ops/hw/UsbOpHwRemove.h"
#include "usb/ops/ui/UsbOpReportError.h"
#include "usb/ops/ui/UsbOpUiEjectDisk.h"
#include "usb/ops/ui/UsbOpUiReleased.h"
#include "usb/ops/ui/UsbOpUiStartProduct.h"

namespace Tessor::schema {

using namespace usb;

UsbStateError::UsbStateError() : BaseState("StateError", STATE_ERROR, false) { UsbStateError::initState(); }

void UsbStateError::initState()
{
    addEntryOperator(Sptr<BaseOperator>(new UsbOpReportError()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiStartProduct()));
    addOperator(Sptr<BaseOperator>(new UsbOpHwRemove()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiReleased()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiEjectDisk()));
}

}  // namespace Tessor::schema
