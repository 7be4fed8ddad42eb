#include "usb/ops/scan/UsbOpScanPrepare.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"

namespace Tessor::usb {

using namespace schema;

Sptr<BaseState> UsbOpScanPrepare::process(Sptr<BaseEvent> event)
{
    UsbDevice* device = hasUsbDevice(event);
    TESSOR_ASSERT(device != nullptr);
    Sptr<ScanConfig> settings = device->getScanConfig();
    if (settings->getScanLevel() == 0) {
        settings->setScanPriority(3);
    }
    DeviceSignalType first = DEV_SIG_DETECT_SPEED;
    if (settings->getScanLevel() == 3) {
        CPLOG(7, "SCAN Level : 3, read Bitmap from flash and begin to product");
        first = DEV_SIG_SCAN;
    } else {
        CPLOG(7, "SCAN Level : 1 or 2, scan flash");
    }
    doCpLog(event);
    updateToTotalProcess(event);
    sendDeviceEvent(event, first);
    return noState;
}

}  // namespace Tessor::usb
