#include "schema/state/UsbStateLowFormat.h"

#include "schema/state/DeviceStateType.h"
#include "usb/ops/hw/UsbOpHwRemove.h"
#include "usb/ops/lFormat/UsbOpLfCreateBlockSet.h"
#include "usb/ops/lFormat/UsbOpLfCreateIndexMap.h"
#include "usb/ops/lFormat/UsbOpLfVerifyData.h"
#include "usb/ops/lFormat/UsbOpLfWriteData.h"
#include "usb/ops/ui/UsbOpUiCancelProduct.h"
#include "usb/ops/ui/UsbOpUiReleased.h"

namespace Tessor::schema {

using namespace usb;

UsbStateLowFormat::UsbStateLowFormat() : BaseState("StateLowFormat", STATE_LOW_FORMAT, true) { UsbStateLowFormat::initState(); }

void UsbStateLowFormat::initState()
{
    addOperator(Sptr<BaseOperator>(new UsbOpLfCreateBlockSet()));
    addOperator(Sptr<BaseOperator>(new UsbOpLfCreateIndexMap()));
    addOperator(Sptr<BaseOperator>(new UsbOpLfWriteData()));
    addOperator(Sptr<BaseOperator>(new UsbOpLfVerifyData()));
    addOperator(Sptr<BaseOperator>(new UsbOpHwRemove()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiCancelProduct()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiReleased()));
}

}  // namespace Tessor::schema
