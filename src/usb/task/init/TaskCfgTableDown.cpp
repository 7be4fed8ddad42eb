#include "usb/task/init/TaskCfgTableDown.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/device/UsbDevice.h"
#include "schema/state/BaseState.h"
#include "schema/state/DeviceStateType.h"
#include "usb/cfg/CfgTable.h"
#include "usb/task/init/CodeCommands.h"

namespace Tessor::schema {

TaskCfgTableDown::TaskCfgTableDown(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name) { init(); }

int TaskCfgTableDown::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    TESSOR_ASSERT(getType() == TASK_CFG_TABLE_TO_RAM || getType() == TASK_CFG_TABLE_DOWNLOAD);
    m_cmdData = getType() == TASK_CFG_TABLE_TO_RAM ? usb::getCodeCommand(usb::CODE_DEFAULT_CFG_TABLE)
                                                   : Sptr<BaseCmdData>();
    if (!m_cmdData) {
        m_cmdData = device->getCfgTable();
    }
    TESSOR_ASSERT(m_cmdData);
    auto* table = dynamic_cast<usb::CfgTable*>(m_cmdData.get());
    TESSOR_ASSERT(table != nullptr);
    const bool own = getType() == TASK_CFG_TABLE_DOWNLOAD;
    if (own) {
        table->setType(usb::CFG_TABLE_DOWNLOADING);
    }
    // The high format sees one unit spanning every partition.
    Sptr<BaseState> state = device->getState();
    if (state && state->getStateType() == STATE_HIGH_FORMAT) {
        table->update4HighFormat(device);
    }
    if (m_cmdData->writeFlash(device) != 0) {
        CPLOG(3, "Download Config Table Failed on device %s", device->getName());
        event->setErrorCode(DOWNLOAD_FAILED);
        return -DOWNLOAD_FAILED;
    }
    CPLOG(7, "Download Config Table %s success on device %s", m_cmdData->getName(), device->getName());
    updateProgressInfo(event, 30);
    if (own) {
        table->setType(usb::CFG_TABLE_DEVICE);
    }
    return 0;
}

}  // namespace Tessor::schema
