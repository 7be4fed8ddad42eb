#include "usb/ops/scan/UsbOpScanDetermineMode.h"

#include "usb/task/scan/TaskScanPreScan.h"

namespace Tessor::usb {

using namespace schema;

void UsbOpScanDetermineMode::init() { addTasks(Sptr<BaseTask>(new TaskScanPreScan(TASK_PRE_SCAN, "SCAN::PreScan"))); }

Sptr<BaseState> UsbOpScanDetermineMode::process(Sptr<BaseEvent> event)
{
    if (getDeviceEventType(event) != DEV_SIG_DETERMINE_MODE) {
        return noState;
    }
    doCpLog(event);
    runTasks(event);
    updateToTotalProcess(event);
    return chain(event, DEV_SIG_SCAN);
}

}  // namespace Tessor::usb
