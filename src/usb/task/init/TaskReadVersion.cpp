#include "usb/task/init/TaskReadVersion.h"

#include <cstring>

#include "platform/orrin/Orrin.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "usb/task/init/CfgTableAccess.h"

namespace Tessor::schema {

namespace {

struct VariantPair {
    int version;
    int chipSet;
};

constexpr VariantPair VARIANTS[] = {
    {VERSION_6716, CHIPSET_6716},       {VERSION_6706, CHIPSET_6706}, {VERSION_6716V31, CHIPSET_6716V31},
    {VERSION_6716V32, CHIPSET_6716V32}, {VERSION_6726, CHIPSET_6726}, {VERSION_6605, CHIPSET_6605},
};

bool isSupported(int version)
{
    for (const VariantPair& pair : VARIANTS) {
        if (pair.version == version) {
            return true;
        }
    }
    return false;
}

bool matches(int version, int chipSet)
{
    for (const VariantPair& pair : VARIANTS) {
        if (pair.version == version && pair.chipSet == chipSet) {
            return true;
        }
    }
    return false;
}

}  // namespace

TaskReadVersion::TaskReadVersion(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name) { init(); }

int TaskReadVersion::init()
{
    TESSOR_ASSERT(getType() == TASK_READ_VERSION);
    return 0;
}

int TaskReadVersion::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    UsbConfiguration* config = UsbConfiguration::instance();
    shared_delay(config->isDpfSupport() ? 2000 : 1000);
    const unsigned char* block = device->readVersionInfo();
    if (block == nullptr || !device->getVersion()) {
        CPLOG(3, "Read Version Info Command failed on %s", device->getName());
        return fail(event, DeviceCode::READ_VERSION_FAILED);
    }
    const int version = device->getVersion()->getVersionNumber();
    if (!isSupported(version)) {
        CPLOG(3, "device detected is unsupportted version : %d", version);
        return fail(event, DeviceCode::UNSUPPORTED_FIRMWARE);
    }
    const int chipSet = config->getChipSet();
    if (!matches(version, chipSet)) {
        CPLOG(3, "device detected is not compatible with the software configed : device is WM%d and config is WM%d",
              version, chipSet);
        return fail(event, DeviceCode::WRONG_CONTROLLER);
    }
    const bool hasTable = device->getVersion()->checkCfgTable();
    if (config->getCurrentFunction() != FUNCTION_FACTORY) {
        if (!hasTable) {
            CPLOG(3,
                  "Can not read disk info eg.Config Table of %s when user it to rebuild udisk. Maybe it is not "
                  "producted in factory",
                  device->getName());
            return fail(event, DeviceCode::NO_CFG_TABLE);
        }
        if (!usb::adoptCfgTable(device, block)) {
            CPLOG(3, "The Config Table of %s cannot be read: nothing of it is used", device->getName());
            return fail(event, DeviceCode::NO_CFG_TABLE);
        }
        if (config->getCurrentFunction() == FUNCTION_LOGIN) {
            CPLOG(7, "App configed as Kelvo Tools");
            if (usb::findHiddenLun(device) < 0) {
                CPLOG(4, "No Hid Lun is found for Kelvo Application!");
                return fail(event, DeviceCode::NO_HIDDEN_LUN);
            }
        }
        return 1;
    }
    // A table that cannot be read is one the factory run writes anew.
    if (hasTable && usb::adoptCfgTable(device, block)) {
        return 1;
    }
    shared_delay(1000);
    return 0;
}

int TaskReadVersion::fail(const Sptr<BaseEvent>& event, int code)
{
    event->setErrorCode(code);
    return -code;
}

}  // namespace Tessor::schema
