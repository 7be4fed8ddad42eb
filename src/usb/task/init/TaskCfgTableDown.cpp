#include "usb/task/init/TaskCfgTableDown.h"

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/UsbDevice.h"
#include "schema/state/BaseState.h"
#include "schema/state/DeviceStateType.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CodeFactory.h"

namespace Tessor::schema {

TaskCfgTableDown::TaskCfgTableDown(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name) { init(); }

int TaskCfgTableDown::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    TESSOR_ASSERT(getType() == TASK_CFG_TABLE_TO_RAM || getType() == TASK_CFG_TABLE_DOWNLOAD);
    const bool own = getType() == TASK_CFG_TABLE_DOWNLOAD;
    const auto failed = [&] {
        CPLOG(3, "Download Config Table Failed on device %s", device->getName());
        event->setErrorCode(DeviceCode::CFG_TABLE_DOWNLOAD_FAILED);
        return -DeviceCode::CFG_TABLE_DOWNLOAD_FAILED;
    };
    if (own) {
        m_cmdData = device->getCfgTable();
    } else {
        m_cmdData = usb::CodeFactory::commonCommand(CMD_DEFAULT_CFG_TABLE);
    }
    if (!m_cmdData) {
        return failed();
    }
    auto* table = dynamic_cast<usb::CfgTable*>(m_cmdData.get());
    TESSOR_ASSERT(table != nullptr);
    if (own) {
        table->setType(usb::CFG_TABLE_DOWNLOADING);
    }
    // The high format sees one unit spanning every partition.
    Sptr<BaseState> state = device->getState();
    if (state && state->getStateType() == STATE_HIGH_FORMAT) {
        table->update4HighFormat(device);
    }
    if (m_cmdData->writeFlash(device) != 0) {
        return failed();
    }
    CPLOG(7, "Download Config Table %s success on device %s", m_cmdData->getName(), device->getName());
    updateProgressInfo(event, 30);
    if (own) {
        table->setType(usb::CFG_TABLE_DEVICE);
    }
    return 0;
}

}  // namespace Tessor::schema
