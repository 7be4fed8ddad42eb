#include "usb/ops/scan/UsbOpScanDummyBitmap.h"

#include <vector>

#include "schema/base/Assert.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/profile/FlashInfo.h"
#include "usb/cfg/CfgTable.h"

namespace Tessor::usb {

using namespace schema;

Sptr<BaseState> UsbOpScanDummyBitmap::process(Sptr<BaseEvent> event)
{
    if (getDeviceEventType(event) != DEV_SIG_DUMMY_BITMAP) {
        return noState;
    }
    doCpLog(event);
    runTasks(event);
    updateToTotalProcess(event);
    UsbDevice* device = hasUsbDevice(event);
    TESSOR_ASSERT(device != nullptr);
    Sptr<SectorBitmap> bitmap = device->getSectorBitmap();
    TESSOR_ASSERT(bitmap);
    bitmap->setAsGood();
    bitmap->getBlockBitmap()->setAsGood();
    const _FLASH_CHIP_INFO& chip = *device->getFlashInfo()->getChipInfo();
    if (chip.TLC != 0) {
        // The pages a triple-level-cell block does not have count as bad.
        const int perPage = chip.SectorPerPage;
        std::vector<unsigned char> missing(
            static_cast<size_t>((chip.PagePerBlock - chip.RealPagePerBlock) * perPage / 8), 0xFF);
        for (int block = 0; block < chip.BlockPerChip; ++block) {
            // The missing pages lie inside the bitmap.
            (void)bitmap->updateBitmap(missing.data(), static_cast<int>(missing.size()),
                                 chip.RealPagePerBlock * perPage + block * chip.PagePerBlock * perPage);
        }
    }
    (void)bitmap->update(device);  // judged in memory: nothing can fail
    (void)device->getCfgTable()->update4Scan(device, false);  // the scan goes on whatever the table reports
    return chain(event, DEV_SIG_SAVE_BITMAP);
}

}  // namespace Tessor::usb
