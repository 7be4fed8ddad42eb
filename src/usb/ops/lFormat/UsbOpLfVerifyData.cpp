#include "usb/ops/lFormat/UsbOpLfVerifyData.h"

#include "schema/base/UsbConfiguration.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "schema/state/DeviceStateType.h"
#include "usb/task/lFormat/TaskLfValidateFlashData.h"

namespace Tessor::usb {

using namespace schema;

UsbOpLfVerifyData::UsbOpLfVerifyData() : UsbOpLfStep("VerifyData", 50, DEV_SIG_VERIFY_DATA)
{
    init();
}

void UsbOpLfVerifyData::init()
{
    addTasks(Sptr<BaseTask>(new TaskLfValidateFlashData(TASK_VALIDATE_DATA, "LF::ValidateData")));
}

Sptr<BaseState> UsbOpLfVerifyData::process(Sptr<BaseEvent> event)
{
    if (!takes(event)) {
        return noState;
    }
    runToTotal(event);
    if (event->getErrorCode() != 0) {
        return errorState(event);
    }
    UsbDevice* device = hasUsbDevice(event);
    if (UsbConfiguration::instance()->getCurrentFunction() == FUNCTION_LOGIN ||
        device->getScanConfig()->getScanLevel() == 2) {
        return lookupDeviceState(event, STATE_BUILD_OK);
    }
    // Taken by the high-format state after what is queued for the device.
    isDeviceEvent(event)->setType(DEV_SIG_TEST_DISK);
    device->reportEvent(event);
    return lookupDeviceState(event, STATE_HIGH_FORMAT);
}

}  // namespace Tessor::usb
