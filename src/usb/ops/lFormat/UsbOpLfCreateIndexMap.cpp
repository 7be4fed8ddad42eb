#include "usb/ops/lFormat/UsbOpLfCreateIndexMap.h"

#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/IndexTableSet.h"
#include "usb/cmd/SetList.h"

namespace Tessor::usb {

using namespace schema;

Sptr<BaseState> UsbOpLfCreateIndexMap::process(Sptr<BaseEvent> event)
{
    if (!takes(event)) {
        return noState;
    }
    runTasks(event);
    UsbDevice* device = hasUsbDevice(event);
    Sptr<SetList> list = device->getSetList();
    Sptr<IndexTableSet> tables = list ? list->createIndexTableSet() : Sptr<IndexTableSet>();
    if (!tables) {
        // One device without block sets or their tables must not end the station.
        CPLOG(3, "No index tables on device %s from its block sets", device->getName());
        event->setErrorCode(DeviceCode::TOO_MANY_BAD_BLOCKS);
        updateToTotalProcess(event);
        return errorState(event);
    }
    device->setIndexTableSet(tables);
    updateToTotalProcess(event);
    return chain(event, DEV_SIG_WRITE_DATA);
}

}  // namespace Tessor::usb
