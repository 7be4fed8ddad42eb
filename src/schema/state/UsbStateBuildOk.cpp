#include "schema/state/UsbStateBuildOk.h"

#include "schema/state/DeviceStateType.h"
#include "usb/ops/hw/UsbOpHwRemove.h"
#include "usb/ops/ui/UsbOpUiEjectDisk.h"
#include "usb/ops/ui/UsbOpUiReleased.h"
#include "usb/ops/ui/UsbOpUiStartProduct.h"

namespace Tessor::schema {

using namespace usb;

UsbStateBuildOk::UsbStateBuildOk() : BaseState("StateBuildOk", STATE_BUILD_OK, false) { UsbStateBuildOk::initState(); }

void UsbStateBuildOk::initState()
{
    addOperator(Sptr<BaseOperator>(new UsbOpHwRemove()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiStartProduct()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiReleased()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiEjectDisk()));
}

}  // namespace Tessor::schema
