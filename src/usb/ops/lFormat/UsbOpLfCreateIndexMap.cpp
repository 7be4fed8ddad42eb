#include "usb/ops/lFormat/UsbOpLfCreateIndexMap.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/BlockSet.h"
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
    Sptr<IndexTableSet> tables(new IndexTableSet(device));
    for (int i = 0; i < list->getCount(); ++i) {
        Sptr<BlockSet> set = list->getData(i);
        TESSOR_ASSERT(set);
        tables->addBlockSet(set);
    }
    device->setIndexTableSet(tables);
    updateToTotalProcess(event);
    return chain(event, DEV_SIG_WRITE_DATA);
}

}  // namespace Tessor::usb
