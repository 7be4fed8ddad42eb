#include "usb/ops/lFormat/UsbOpLfCreateIndexMap.h"

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
    if (!list) {
        // One device without block sets must not end the station.
        CPLOG(3, "No block set list on device %s for its index tables", device->getName());
        event->setErrorCode(NO_BLOCK_SETS);
        updateToTotalProcess(event);
        return errorState(event);
    }
    Sptr<IndexTableSet> tables = list->createIndexTableSet();
    if (!tables) {
        CPLOG(3, "Index tables of device %s could not be made from its block sets", device->getName());
        event->setErrorCode(NO_BLOCK_SETS);
        updateToTotalProcess(event);
        return errorState(event);
    }
    device->setIndexTableSet(tables);
    updateToTotalProcess(event);
    return chain(event, DEV_SIG_WRITE_DATA);
}

}  // namespace Tessor::usb
