#include "usb/ops/scan/UsbOpScanDetectSpeed.h"

#include "usb/task/scan/TaskScanSpeed.h"

namespace Tessor::usb {

using namespace schema;

void UsbOpScanDetectSpeed::init() { addTasks(Sptr<BaseTask>(new TaskScanSpeed(TASK_SCAN_SPEED, "SCAN::ScanSpeed"))); }

Sptr<BaseState> UsbOpScanDetectSpeed::process(Sptr<BaseEvent> event)
{
    if (getDeviceEventType(event) != DEV_SIG_DETECT_SPEED) {
        return noState;
    }
    runTasks(event);
    updateToTotalProcess(event);
    return chain(event, DEV_SIG_DETERMINE_MODE);
}

}  // namespace Tessor::usb
