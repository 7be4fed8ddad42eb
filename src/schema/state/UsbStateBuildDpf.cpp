#include "schema/state/UsbStateBuildDpf.h"

#include "schema/state/DeviceStateType.h"
#include "usb/ops/hw/UsbOpHwRemove.h"
#include "usb/ops/ui/UsbOpUiCancelProduct.h"
#include "usb/ops/ui/UsbOpUiReleased.h"

namespace Tessor::schema {

using namespace usb;

UsbStateBuildDpf::UsbStateBuildDpf() : BaseState("StateBuildDpf", STATE_BUILD_DPF, true) { UsbStateBuildDpf::initState(); }

void UsbStateBuildDpf::initState()
{
    addOperator(Sptr<BaseOperator>(new UsbOpHwRemove()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiCancelProduct()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiReleased()));
}

}  // namespace Tessor::schema
