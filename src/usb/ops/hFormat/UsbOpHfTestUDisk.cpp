#include "usb/ops/hFormat/UsbOpHfTestUDisk.h"

#include "schema/base/UsbConfiguration.h"
#include "schema/state/DeviceStateType.h"
#include "usb/task/hFormat/TaskHfTestUDisk.h"
#include "usb/task/init/TaskCfgTableDown.h"
#include "usb/task/init/TaskScanCodeDownload.h"

namespace Tessor::usb {

using namespace schema;

void UsbOpHfTestUDisk::init()
{
    // The user and login functions write their table to the flash here, with
    // the low format's write task, once that task is part of the build.
    if (UsbConfiguration::instance()->getCurrentFunction() != FUNCTION_FACTORY) {
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
    updateProgressInfo(event, 100);
    if (UsbConfiguration::instance()->getCurrentFunction() == FUNCTION_LOGIN) {
        sendUiEvent(event, UI_SIG_BUILD_OK);
        return lookupDeviceState(event, STATE_BUILD_OK);
    }
    if (event->getErrorCode() != 0) {
        return lookupDeviceState(event, STATE_ERROR);
    }
    isDeviceEvent(event)->setType(DEV_SIG_FORMAT_ALL);
    return noState;
}

}  // namespace Tessor::usb
