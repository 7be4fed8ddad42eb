#include "usb/ops/scan/UsbOpScanProcess.h"

#include "usb/task/scan/TaskScanScan.h"

namespace Tessor::usb {

using namespace schema;

void UsbOpScanProcess::init() { addTasks(Sptr<BaseTask>(new TaskScanScan(TASK_SCAN, "SCAN::ScanFlash"))); }

Sptr<BaseState> UsbOpScanProcess::process(Sptr<BaseEvent> event)
{
    if (getDeviceEventType(event) != DEV_SIG_SCAN) {
        return noState;
    }
    // The scan engines report their own progress; a read-back stops where
    // it finds the saved image, so what is left is reported here.
    runTasks(event);
    updateToTotalProcess(event);
    return chain(event, DEV_SIG_AFTER_SCAN);
}

}  // namespace Tessor::usb
