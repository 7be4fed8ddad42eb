#include "usb/dpf/DpfCmdItem.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "schema/base/Log.h"
#include "schema/device/UsbDevice.h"
#include "schema/dpf/DpfConfig.h"
#include "schema/dpf/DpfDevice.h"
#include "usb/dpf/AreaWriter.h"
#include "usb/dpf/DpfLimits.h"

namespace Tessor::usb {

using schema::DpfDataFile;

int DpfCmdItem::fileCount() const { return m_group ? m_group->getCount() : 0; }

int DpfCmdItem::writeFlash(schema::UsbDevice* device)
{
    if (!getAreaBlock(0)) {
        CPLOG(3, "Address has not allocated for %s of device %s which need write to Flash", getName(),
              device->getName());
        return -1;
    }
    CPLOG(7, " DpfCmdItem  writeFlash addressType : %d", getType());
    AreaWriter writer(device, this);
    switch (getType()) {
    case schema::ADDRESS_PHOTOS:
        return writePhotos(writer);
    case schema::ADDRESS_BOOKS:
        return writeBooks(writer);
    default:
        return writeFiles(writer);
    }
}

int DpfCmdItem::writePhotos(AreaWriter& writer)
{
    const int count = fileCount();
    if (count == 0) {
        return 0;
    }
    const int limit = std::min(kMaxPhotos, static_cast<int>(m_dpfDevice->getDpfConfig()->getMaxImagesCount()));
    if (count > limit) {
        CPLOG(3, "%d photos are more than the %d a photo frame holds", count, limit);
        return -1;
    }
    std::vector<unsigned char> slot(static_cast<size_t>(kPhotoSectors) * SECTOR_BYTES);
    for (int j = 0; j < count; ++j) {
        Sptr<DpfDataFile> file = m_group->getOneFile(j);
        const unsigned char* data = file->getDataBuffer();
        if (data == nullptr) {
            CPLOG(4, "data buffer of %s is null", file->getFileName());
            return -1;
        }
        if (file->getSectorLength() > kPhotoSectors) {
            CPLOG(3, "photo %s of %d sectors does not fit a photo slot of %d sectors", file->getFileName(),
                  file->getSectorLength(), kPhotoSectors);
            return -1;
        }
        // A smaller photo is padded with zero bytes to its whole slot.
        std::fill(slot.begin(), slot.end(), 0);
        std::memcpy(slot.data(), data, static_cast<size_t>(file->getSectorLength()) * SECTOR_BYTES);
        const SlotPlace place = photoSlot(j, writer.getSectorsPerBlock());
        CPLOG(7, "nPhoto pictrue NumberNo %d in block %d at sector %d", j, place.block, place.sector);
        writer.seek(place.block, place.sector);
        if (writer.write(slot.data(), kPhotoSectors, kPhotoSectors) != 0) {
            return -1;
        }
    }
    return 0;
}

int DpfCmdItem::writeBooks(AreaWriter& writer)
{
    const int count = fileCount();
    if (count > kMaxBooks) {
        CPLOG(3, "%d books are more than the %d a photo frame holds", count, kMaxBooks);
        return -1;
    }
    const int chunk = std::min(kBookChunk, writer.getSectorsPerBlock());
    for (int k = 0; k < count; ++k) {
        Sptr<DpfDataFile> file = m_group->getOneFile(k);
        const unsigned char* data = file->getDataBuffer();
        if (data == nullptr) {
            CPLOG(4, "data buffer of %s is null", file->getFileName());
            return -1;
        }
        CPLOG(7, "EbooK need %d Blocks Number and EbooK sector length %d",
              ceilDivide(file->getSectorLength(), writer.getSectorsPerBlock()),
              file->getSectorLength());
        // Every book starts a block of its own.
        writer.startBlock();
        if (writer.write(data, file->getSectorLength(), chunk) != 0) {
            CPLOG(3, "ebook is to bigger than the space of ebook");
            return -1;
        }
    }
    return 0;
}

int DpfCmdItem::writeFiles(AreaWriter& writer)
{
    for (int k = 0; k < fileCount(); ++k) {
        Sptr<DpfDataFile> file = m_group->getOneFile(k);
        const unsigned char* data = file->getDataBuffer();
        if (data == nullptr) {
            CPLOG(4, "data buffer of %s is null", file->getFileName());
            return -1;
        }
        CPLOG(7, "Download DPF Data File %s(%s) in DataGroup %s", file->getName(), file->getFileName(),
              m_group->getName());
        if (writer.write(data, file->getSectorLength(), writer.getSectorsPerBlock()) != 0) {
            return -1;
        }
    }
    return 0;
}

}  // namespace Tessor::usb
