#include "usb/ops/hFormat/UsbOpHfFormatAllPartitions.h"

#include "platform/orrin/Orrin.h"
#include "schema/state/DeviceStateType.h"
#include "usb/task/hFormat/TaskHfFormatAllPartitions.h"

namespace Tessor::usb {

using namespace schema;

namespace {
constexpr unsigned kStartDelayMs = 100;
}  // namespace

void UsbOpHfFormatAllPartitions::init()
{
    addTasks(Sptr<BaseTask>(new TaskHfFormatAllPartitions(TASK_FORMAT_ALL, "HF::FormatAll")));
}

Sptr<BaseState> UsbOpHfFormatAllPartitions::process(Sptr<BaseEvent> event)
{
    if (getDeviceEventType(event) != DEV_SIG_FORMAT_ALL) {
        return noState;
    }
    shared_delay(kStartDelayMs);
    doCpLog(event);
    runTasks(event);
    updateToStateTotal(event);
    if (event->getErrorCode() != 0) {
        return lookupDeviceState(event, STATE_ERROR);
    }
    sendUiEvent(event, UI_SIG_BUILD_OK);
    return lookupDeviceState(event, STATE_BUILD_OK);
}

}  // namespace Tessor::usb
