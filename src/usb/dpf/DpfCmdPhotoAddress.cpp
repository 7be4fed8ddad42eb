#include "usb/dpf/DpfCmdPhotoAddress.h"

#include <algorithm>

#include "platform/orrin/ByteOrder.h"
#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"
#include "schema/dpf/DpfConfig.h"
#include "schema/dpf/DpfDevice.h"
#include "usb/dpf/DpfLimits.h"

namespace Tessor::usb {

int DpfCmdPhotoAddress::finish(schema::UsbDevice* device)
{
    const int perBlock = device->getDiskInfo()->getSectorsPerBlock();
    const int maxPhotos = static_cast<int>(m_dpfDevice->getDpfConfig()->getMaxImagesCount());
    Sptr<DpfCmd> photos = m_dpfDevice->getDpfCmd(schema::ADDRESS_PHOTOS);
    // Every slot the photo area has room for, but never past its blocks.
    int slots = 0;
    while (photoSlot(slots, perBlock).block < photos->getAreaBlocks()) {
        ++slots;
    }
    m_sectors = ceilDivide(4 * maxPhotos, SECTOR_BYTES);
    const int stored = std::max(slots, maxPhotos);
    m_table.assign(static_cast<size_t>(ceilDivide(4 * stored, SECTOR_BYTES)) * SECTOR_BYTES, 0);
    Be32* entries = reinterpret_cast<Be32*>(m_table.data());
    for (int j = 0; j < slots; ++j) {
        const SlotPlace place = photoSlot(j, perBlock);
        Sptr<schema::BaseAddress> block = photos->getAreaBlock(place.block);
        if (place.sector == 0) {
            CPLOG(7, "%d block address for photo : %s", place.block, block->logData());
        }
        entries[j].set(static_cast<uint32_t>(block->getPhyAddress() + place.sector));
    }
    if (slots != maxPhotos) {
        CPLOG(4, "Only %d photo addresses are wroten, but it need %d", slots, maxPhotos);
    }
    return 0;
}

}  // namespace Tessor::usb
