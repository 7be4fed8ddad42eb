#include "usb/task/init/TaskScanCodeDownload.h"

#include "platform/orrin/Orrin.h"
#include "schema/base/DeviceCode.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CodeFactory.h"

namespace Tessor::schema {

TaskScanCodeDownload::TaskScanCodeDownload(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name)
{
    init();
}

int TaskScanCodeDownload::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    CMD_COMMON_T key = CMD_SCAN_CODE;
    if (getType() == TASK_LF_CODE_DOWNLOAD) {
        key = CMD_EXTERNAL_AS_SCAN_CODE;
    } else if (getType() == TASK_HF_CODE_DOWNLOAD) {
        key = CMD_EXTERNAL_4_HIGH_FORMAT;
    } else {
        shared_delay(200);
    }
    m_cmdData = usb::CodeFactory::commonCommand(key);
    if (!m_cmdData || m_cmdData->writeFlash(device) != 0) {
        event->setErrorCode(DeviceCode::SCAN_CODE_DOWNLOAD_FAILED);
        return -DeviceCode::SCAN_CODE_DOWNLOAD_FAILED;
    }
    return 0;
}

}  // namespace Tessor::schema
