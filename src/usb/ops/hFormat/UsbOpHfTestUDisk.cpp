#include "usb/ops/hFormat/UsbOpHfTestUDisk.h"

#include "schema/base/UsbConfiguration.h"
#include "schema/state/DeviceStateType.h"
#include "usb/task/hFormat/TaskHfTestUDisk.h"
#include "usb/task/init/TaskCfgTableDown.h"
#include "usb/task/init/TaskScanCodeDownload.h"
#include "usb/task/lFormat/TaskLfCfgTable2Flash.h"

namespace Tessor::usb {

using namespace schema;

void UsbOpHfTestUDisk::init()
{
    // User and login runs skip the low format: their table reaches the flash
    // here. A user run formats the units of that new table, so the
    // controller is given it too, in place of the one it booted with.
    const _FUNCTION_T function = UsbConfiguration::instance()->getCurrentFunction();
    if (function != FUNCTION_FACTORY) {
        addTasks(Sptr<BaseTask>(new TaskLfCfgTable2Flash(TASK_CFG_TABLE_DOWNLOAD, "HF::CfgTable2Flash")));
        if (function == FUNCTION_USER) {
            addTasks(Sptr<BaseTask>(new TaskCfgTableDown(TASK_CFG_TABLE_DOWNLOAD, "HF::CfgTable2Ram")));
        }
        return;
    }
    addTasks(Sptr<BaseTask>(new TaskCfgTableDown(TASK_CFG_TABLE_DOWNLOAD, "HF::CfgTable2Ram")));
    addTasks(Sptr<BaseTask>(new TaskScanCodeDownload(TASK_HF_CODE_DOWNLOAD, "HF::DownLoadUDiskCode")));
    addTasks(Sptr<BaseTask>(new TaskHfTestUDisk(TASK_TEST_UDISK, "HF::TestUDisk")));
}

Sptr<BaseState> UsbOpHfTestUDisk::process(Sptr<BaseEvent> event)
{
    if (getDeviceEventType(event) != DEV_SIG_TEST_DISK) {
        return noState;
    }
    runTasks(event);
    // A login run whose table did not reach the flash has not been built.
    if (event->getErrorCode() != 0) {
        updateToTotalProcess(event);
        return lookupDeviceState(event, STATE_ERROR);
    }
    // A login run has no partitions to format: its state ends here.
    if (UsbConfiguration::instance()->getCurrentFunction() == FUNCTION_LOGIN) {
        updateToStateTotal(event);
        sendUiEvent(event, UI_SIG_BUILD_OK);
        return lookupDeviceState(event, STATE_BUILD_OK);
    }
    updateToTotalProcess(event);
    isDeviceEvent(event)->setType(DEV_SIG_FORMAT_ALL);
    return noState;
}

}  // namespace Tessor::usb
