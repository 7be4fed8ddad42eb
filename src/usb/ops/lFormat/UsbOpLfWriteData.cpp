#include "usb/ops/lFormat/UsbOpLfWriteData.h"

#include "usb/task/lFormat/TaskLfCfgTable2Flash.h"
#include "usb/task/lFormat/TaskLfUpdateSetting.h"

namespace Tessor::usb {

using namespace schema;

UsbOpLfWriteData::UsbOpLfWriteData() : UsbOpLfStep("WriteData", 100, DEV_SIG_WRITE_DATA)
{
    init();
}

void UsbOpLfWriteData::init()
{
    addTasks(Sptr<BaseTask>(new TaskLfUpdateSetting(TASK_UPDATE_SETTING, "LF::UpdateSetting")));
    addTasks(Sptr<BaseTask>(new TaskLfCfgTable2Flash(TASK_CFG_TABLE_DOWNLOAD, "LF::WriteData")));
}

Sptr<BaseState> UsbOpLfWriteData::process(Sptr<BaseEvent> event)
{
    if (!takes(event)) {
        return noState;
    }
    runToTotal(event);
    return chain(event, DEV_SIG_VERIFY_DATA);
}

}  // namespace Tessor::usb
