#include "schema/state/UsbStateHighFormat.h"

#include "schema/state/DeviceStateType.h"
#include "usb/ops/hFormat/UsbOpHfFormatAllPartitions.h"
#include "usb/ops/hFormat/UsbOpHfTestUDisk.h"
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
    addOperator(Sptr<BaseOperator>(new UsbOpHfTestUDisk()));
    addOperator(Sptr<BaseOperator>(new UsbOpHfFormatAllPartitions()));
}

}  // namespace Tessor::schema
