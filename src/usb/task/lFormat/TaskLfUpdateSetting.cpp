#include "usb/task/lFormat/TaskLfUpdateSetting.h"

#include <string>

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgPartition.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cmd/SetList.h"

namespace Tessor::schema {

TaskLfUpdateSetting::TaskLfUpdateSetting(TASK_TYPE_T type, const std::string& name) : BaseTask(type, name)
{
    init();
}

int TaskLfUpdateSetting::init()
{
    TESSOR_ASSERT(getType() == TASK_UPDATE_SETTING);
    return 0;
}

int TaskLfUpdateSetting::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    init();
    CPLOG(7, "Update Setting info of device %s", device->getName());
    Sptr<usb::SetList> setList = device->getSetList();
    TESSOR_ASSERT(setList && device->getConfigInfo());
    const Sptr<ConfigInfo> asked = device->getConfigInfo();
    const int usable = setList->getValidateSectorsNumber();
    Sptr<ConfigInfo> settings = asked->update(usable);
    // Partitions that do not fit, or that the table cannot hold, fail the
    // device rather than pass unwritten. A policy that fits the partitions to
    // the device may leave later ones out, and says so; kept sizes never do,
    // and no layout may leave none.
    std::string cause;
    const bool leftOut = settings && settings->getCount() < asked->getCount() &&
                         (settings->getCount() == 0 || asked->getRealCapacity() == 0);
    if (!settings) {
        cause = "the partitions are too large for the device's " + std::to_string(usable) + " usable sectors";
    } else if (leftOut) {
        cause = "only " + std::to_string(settings->getCount()) + " of the " + std::to_string(asked->getCount()) +
                " partitions fit the device's " + std::to_string(usable) + " usable sectors";
    }
    if (!cause.empty()) {
        CPLOG(3, "Device %s: %s", device->getName(), cause.c_str());
        event->setErrorCode(schema::DeviceCode::CAPACITY_TOO_SMALL);
        event->setErrorCause(cause);
        return -schema::DeviceCode::CAPACITY_TOO_SMALL;
    }
    int result = device->setConfigInfo(settings);
    // The units are laid out now, before the low format writes anything, so
    // one the table cannot hold or too small for its file system fails here.
    Sptr<usb::CfgPartition> units = device->getCfgTable() ? device->getCfgTable()->getPartitionCtrl()
                                                          : Sptr<usb::CfgPartition>();
    if (result >= 0 && units) {
        result = units->finish(device);
        event->setErrorCause(units->getRefusal());
    }
    if (result < 0) {
        event->setErrorCode(-result);
        return result;
    }
    settings->debug();
    return 0;
}

}  // namespace Tessor::schema
