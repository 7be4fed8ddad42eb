#include "schema/state/UsbStateScan.h"

#include "schema/state/DeviceStateType.h"
#include "usb/ops/hw/UsbOpHwRemove.h"
#include "usb/ops/scan/UsbOpScanAfterProcess.h"
#include "usb/ops/scan/UsbOpScanDetectSpeed.h"
#include "usb/ops/scan/UsbOpScanDetermineMode.h"
#include "usb/ops/scan/UsbOpScanDummyBitmap.h"
#include "usb/ops/scan/UsbOpScanPrepare.h"
#include "usb/ops/scan/UsbOpScanProcess.h"
#include "usb/ops/scan/UsbOpScanSaveBitmap.h"
#include "usb/ops/ui/UsbOpUiCancelProduct.h"
#include "usb/ops/ui/UsbOpUiReleased.h"

namespace Tessor::schema {

using namespace usb;

UsbStateScan::UsbStateScan() : BaseState("StateScan", STATE_SCAN, true) { UsbStateScan::initState(); }

void UsbStateScan::initState()
{
    addEntryOperator(Sptr<BaseOperator>(new UsbOpScanPrepare()));
    addOperator(Sptr<BaseOperator>(new UsbOpScanDetectSpeed()));
    addOperator(Sptr<BaseOperator>(new UsbOpScanDetermineMode()));
    addOperator(Sptr<BaseOperator>(new UsbOpScanProcess()));
    addOperator(Sptr<BaseOperator>(new UsbOpScanAfterProcess()));
    addOperator(Sptr<BaseOperator>(new UsbOpScanDummyBitmap()));
    addOperator(Sptr<BaseOperator>(new UsbOpScanSaveBitmap()));
    addOperator(Sptr<BaseOperator>(new UsbOpHwRemove()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiCancelProduct()));
    addOperator(Sptr<BaseOperator>(new UsbOpUiReleased()));
}

}  // namespace Tessor::schema
