#include "usb/ops/scan/UsbOpScanSaveBitmap.h"

#include "schema/base/Assert.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "schema/event/DeviceEvent.h"
#include "schema/state/DeviceStateType.h"
#include "usb/task/init/TaskCfgTableDown.h"
#include "usb/task/init/TaskScanCodeDownload.h"
#include "usb/task/scan/TaskScanWriteBitmap.h"

namespace Tessor::usb {

using namespace schema;

void UsbOpScanSaveBitmap::init()
{
    addTasks(Sptr<BaseTask>(new TaskCfgTableDown(TASK_CFG_TABLE_DOWNLOAD, "LF::WriteSecotrBitmapCfgTable2Ram")));
    addTasks(
        Sptr<BaseTask>(new TaskScanCodeDownload(TASK_LF_CODE_DOWNLOAD, "LF::DownLoadUDiskCodeToWriteFlash)")));
    addTasks(Sptr<BaseTask>(new TaskScanWriteBitmap(TASK_WRITE_BITMAP, "SCAN::WriteSectorBitmap")));
}

Sptr<BaseState> UsbOpScanSaveBitmap::process(Sptr<BaseEvent> event)
{
    if (getDeviceEventType(event) != DEV_SIG_SAVE_BITMAP) {
        return noState;
    }
    UsbDevice* device = hasUsbDevice(event);
    doCpLog(event);
    runTasks(event);
    if (event->getErrorCode() != 0) {
        updateToTotalProcess(event);
        return lookupDeviceState(event, STATE_ERROR);
    }
    updateToStateTotal(event);
    Sptr<DeviceEvent> next = isDeviceEvent(event);
    TESSOR_ASSERT(next);
    next->setType(DEV_SIG_CREATE_BLOCK_SET);
    device->reportEvent(event);
    if (device->getScanConfig()->getScanLevel() == 2) {
        sendUiEvent(event, UI_SIG_BUILD_OK);
        return lookupDeviceState(event, STATE_BUILD_OK);
    }
    return lookupDeviceState(event, STATE_LOW_FORMAT);
}

}  // namespace Tessor::usb
