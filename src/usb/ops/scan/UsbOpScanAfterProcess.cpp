#include "usb/ops/scan/UsbOpScanAfterProcess.h"

namespace Tessor::usb {

using namespace schema;

Sptr<BaseState> UsbOpScanAfterProcess::process(Sptr<BaseEvent> event)
{
    if (getDeviceEventType(event) != DEV_SIG_AFTER_SCAN) {
        return noState;
    }
    doCpLog(event);
    updateToTotalProcess(event);
    return chain(event, DEV_SIG_SAVE_BITMAP);
}

}  // namespace Tessor::usb
