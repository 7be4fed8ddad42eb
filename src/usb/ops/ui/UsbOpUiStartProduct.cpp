#include "usb/ops/ui/UsbOpUiStartProduct.h"

#include <string>
#include <utility>

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/UsbDevice.h"
#include "schema/device/VolumeLabel.h"
#include "schema/state/DeviceStateType.h"
#include "usb/cfg/CfgPartition.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cfg/CodeFactory.h"
#include "usb/profile/FlashInfo.h"
#include "usb/task/init/CfgTableAccess.h"

namespace Tessor::usb {

using namespace schema;

namespace {

enum LoginOp { LOGIN_OPEN_HIDDEN = 1, LOGIN_UNPROTECT = 2, LOGIN_MODIFY_PASSWORD = 3 };

// Passwords never reach the log in clear, at any level.
const char* masked(const std::string& password)
{
    return password.empty() ? "" : "******";
}

// What the settings say no device can be built with, and its code: a value
// the profile refused, or a volume label FAT cannot hold, from whichever
// page or profile it came.
std::pair<std::string, int> refusalOf(ConfigInfo& settings)
{
    if (!settings.getRefusal().empty()) {
        return {settings.getRefusal(), settings.getRefusalCode()};
    }
    for (int i = 0; i < settings.getPartCount(); ++i) {
        const VolumeLabel label(settings.getPartInfo(i)->getVolumeLabel());
        if (!label.refusal().empty()) {
            return {"partition " + std::to_string(i) + ": " + label.refusal(), DeviceCode::FILE_SYSTEM_FAILED};
        }
    }
    return {};
}

}  // namespace

Sptr<BaseState> UsbOpUiStartProduct::process(Sptr<BaseEvent> event)
{
    if (getUiEventType(event) != UI_SIG_START) {
        return noState;
    }
    doCpLog(event);
    UsbDevice* device = hasUsbDevice(event);
    Sptr<UiEvent> request = isUiEvent(event);
    TESSOR_ASSERT(request);
    Sptr<ConfigInfo> settings = request->getConfigInfo();
    TESSOR_ASSERT(settings);
    // A value no device can be built with fails it before anything is touched.
    const auto [refusal, refusalCode] = refusalOf(*settings);
    if (!refusal.empty()) {
        CPLOG(3, "Settings of device %s refused: %s", device->getName(), refusal.c_str());
        event->setErrorCode(refusalCode);
        event->setErrorCause(refusal);
        return lookupDeviceState(event, STATE_ERROR);
    }
    (void)device->volumeControl(VOLUME_RUN_START);  // volume results are not tested on this road
    (void)device->volumeControl(VOLUME_LOCK);
    int next = STATE_SCAN;
    const _FUNCTION_T function = UsbConfiguration::instance()->getCurrentFunction();
    if (function == FUNCTION_LOGIN) {
        Sptr<BaseState> ended = login(event, device, *settings);
        if (ended) {
            return ended;
        }
    }
    // A device whose identification failed has nothing to produce from.
    Sptr<usb::FlashInfo> flash = device->getFlashInfo();
    if (function == FUNCTION_FACTORY && (!flash || !device->getVersion())) {
        CPLOG(3, "%s is not identified: start refused", device->getName());
        event->setErrorCode(DeviceCode::NO_FLASH_INFO);
        return lookupDeviceState(event, STATE_ERROR);
    }
    if (flash) {
        device->setFlashInfo(flash);
    }
    // A user run rebuilds the LUNs from the settings; ones the table cannot
    // hold fail the device before anything is written.
    const int settled = device->setConfigInfo(settings);
    if (settled < 0) {
        CPLOG(3, "Settings of device %s can not be laid out as its LUNs", device->getName());
        event->setErrorCode(-settled);
        event->setErrorCause(device->getCfgTable()->getPartitionCtrl()->getRefusal());
        return lookupDeviceState(event, STATE_ERROR);
    }
    if (function != FUNCTION_FACTORY) {
        sendDeviceEvent(event, DEV_SIG_TEST_DISK);
        next = STATE_HIGH_FORMAT;
    }
    // An external-code image replaced while the station runs goes to this
    // device; when it cannot be read the image loaded before stays.
    if (CodeFactory* factory = CodeFactory::instance(); factory != nullptr && factory->resetExtCode() != 0) {
        CPLOG(3, "External code image could not be read again for %s: the one loaded before is used",
              device->getName());
    }
    Sptr<usb::CmdExternalCode> code(new usb::CmdExternalCode("ExternalCode", CODE_TYPE_FLASH));
    // User and login runs rewrite the code where the device's own table has it.
    if (function != FUNCTION_FACTORY && device->getExternalCode()) {
        code->setAddress(device->getExternalCode()->getAddress());
    }
    device->setExternalCode(code);
    device->resetAllocatAddress();
    device->resetCancel();
    return lookupDeviceState(event, next);
}

Sptr<BaseState> UsbOpUiStartProduct::login(const Sptr<BaseEvent>& event, UsbDevice* device,
                                           const ConfigInfo& settings)
{
    const std::string password = settings.getPassword();
    const std::string newPassword = settings.getNewPassword();
    Sptr<ConfigInfo> own = device->getConfigInfo();
    const std::string stored = own ? own->getPassword() : std::string();
    // Every login operation, a password change included, needs the device's
    // current password.
    if (password != stored) {
        CPLOG(4, "Password of Hid Lun '%s' is not validate, it should be %s", masked(password), masked(stored));
        event->setErrorCode(DeviceCode::WRONG_PASSWORD);
        return lookupDeviceState(event, STATE_ERROR);
    }
    CPLOG(4, "Password of Hid Lun '%s' is validate", masked(password));
    const int op = settings.getLoginOp();
    if (op == LOGIN_MODIFY_PASSWORD && !newPassword.empty()) {
        CPLOG(4, "Modify Password as '%s' is validate", masked(newPassword));
        return noState;
    }
    for (int lun = 0; lun < LOGIN_LUN_COUNT; ++lun) {
        const LunProtection flags = lunProtection(device, lun);
        CPLOG(7, "_lunInfo->Hide=%d, newConfig->getLoginOp()=%d", flags.hide ? 1 : 0, op);
        int result = 0;
        if (flags.hide && op == LOGIN_OPEN_HIDDEN) {
            result = device->switchPartition(static_cast<unsigned char>(lun));
            if (result == 0) {
                CPLOG(7, "No. %d LUN on volume %s switch OK!", lun, device->getName());
                break;
            }
        } else if ((flags.writeProtect || flags.readProtect) && op == LOGIN_UNPROTECT) {
            result = device->partitionProtect(static_cast<unsigned char>(lun), 0);
            if (result == 0) {
                CPLOG(7, "No. %d LUN on volume %s unprotect OK!", lun, device->getName());
            }
        }
        if (result != 0) {
            CPLOG(3, "No. %d LUN on volume %s switch|unprotected OK!", lun, device->getName());
            event->setErrorCode(DeviceCode::PARTITION_SWITCH_FAILED);
            return lookupDeviceState(event, STATE_ERROR);
        }
    }
    sendUiEvent(event, UI_SIG_BUILD_OK);
    return lookupDeviceState(event, STATE_BUILD_OK);
}

}  // namespace Tessor::usb
