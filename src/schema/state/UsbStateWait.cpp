#include "schema/state/UsbStateWait.h"

#include "schema/state/DeviceStateType.h"
#include "usb/ops/hw/UsbOpHwPlugin.h"
#include "usb/ops/hw/UsbOpHwRemove.h"
#include "usb/ops/ui/UsbOpUiEjectDisk.h"
#include "usb/ops/ui/UsbOpUiReleased.h"
#include "usb/ops/ui/UsbOpUiStartProduct.h"

namespace Tessor::schema {

using namespace usb;

UsbStateWait::UsbStateWait() : BaseState("StateWait", STATE_WAIT, false) { UsbStateWait::initState(); }

void UsbStateWait::initState()
{
    addOperator(Sptr<BaseOperator>(new UsbOpHwPlugin()));
    addOperator(Sptr<BaseOperator>(new UsbOpHwRemove()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiStartProduct()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiReleased()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiEjectDisk()));
}

}  // namespace Tessor::schema
