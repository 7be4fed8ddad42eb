#include "usb/ops/init/UsbOpReadVersion.h"

#include "schema/state/DeviceStateType.h"
#include "usb/task/init/TaskCfgTableDown.h"
#include "usb/task/init/TaskReadVersion.h"
#include "usb/task/init/TaskScanCodeDownload.h"

namespace Tessor::usb {

using namespace schema;

void UsbOpReadVersion::init()
{
    addTasks(Sptr<BaseTask>(new TaskReadVersion(TASK_READ_VERSION, "INIT::ReadDevInfo")));
    addTasks(Sptr<BaseTask>(new TaskCfgTableDown(TASK_CFG_TABLE_TO_RAM, "INIT::CfgTable2Ram")));
    addTasks(Sptr<BaseTask>(new TaskScanCodeDownload(TASK_SCAN_CODE_DOWNLOAD, "INIT::DownLoadUDiskCode)")));
}

Sptr<BaseState> UsbOpReadVersion::process(Sptr<BaseEvent> event)
{
    if (getDeviceEventType(event) != DEV_SIG_READ_VERSION) {
        return noState;
    }
    doCpLog(event);
    runTasks(event);
    if (event->getErrorCode() != 0) {
        return lookupDeviceState(event, STATE_ERROR);
    }
    isDeviceEvent(event)->setType(DEV_SIG_READ_FLASH_ID);
    return noState;
}

}  // namespace Tessor::usb
