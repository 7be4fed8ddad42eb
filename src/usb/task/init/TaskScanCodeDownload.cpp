#include "usb/task/init/TaskScanCodeDownload.h"

#include "platform/orrin/Orrin.h"
#include "schema/base/Assert.h"
#include "schema/device/UsbDevice.h"
#include "usb/task/init/CodeCommands.h"

namespace Tessor::schema {

TaskScanCodeDownload::TaskScanCodeDownload(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name)
{
    init();
}

int TaskScanCodeDownload::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    if (getType() == TASK_LF_CODE_DOWNLOAD) {
        m_cmdData = usb::getCodeCommand(usb::CODE_WRITE_FLASH);
    } else if (getType() == TASK_HF_CODE_DOWNLOAD) {
        m_cmdData = usb::getCodeCommand(usb::CODE_HIGH_FORMAT);
    } else {
        shared_delay(200);
        m_cmdData = usb::getCodeCommand(usb::CODE_SCAN);
    }
    TESSOR_ASSERT(m_cmdData);
    if (m_cmdData->writeFlash(device) != 0) {
        event->setErrorCode(DOWNLOAD_FAILED);
        return -DOWNLOAD_FAILED;
    }
    return 0;
}

}  // namespace Tessor::schema
