#include "shell/PartitionFit.h"

#include <cstdint>
#include <vector>

#include "usb/profile/FlashInfo.h"

namespace Tessor::shell {

using schema::DISK_CDROM;
using schema::PartInfo;

std::optional<int> deviceSectors(const schema::UsbDevice& device)
{
    Sptr<schema::DiskInfo> disk = device.getDiskInfo();
    if (!disk) {
        return std::nullopt;
    }
    Sptr<usb::FlashInfo> flash = device.getFlashInfo();
    // 32-bit arithmetic, as the device's firmware counts.
    uint32_t sectors = 0;
    if (flash && flash->getChipInfo()->TLC == 1) {
        const usb::_FLASH_CHIP_INFO* chip = flash->getChipInfo();
        sectors = static_cast<uint32_t>(chip->SectorPerPage) * static_cast<uint32_t>(chip->RealPagePerBlock) *
                  static_cast<uint32_t>(chip->RealBlockPerChip) * static_cast<uint32_t>(disk->getChipsPerDisk());
    } else {
        sectors = static_cast<uint32_t>(disk->getChipsPerDisk()) * static_cast<uint32_t>(disk->getBlocksPerChip()) *
                  static_cast<uint32_t>(disk->getPagesPerBlock()) * static_cast<uint32_t>(disk->getSectorsPerPage());
    }
    return static_cast<int>(sectors);
}

bool fitPartitions(schema::ConfigInfo& settings, int capacity)
{
    if (settings.getCapacityPolicy() != schema::CAPACITY_RATIONAL) {
        return true;
    }
    const int count = settings.getPartCount();
    if (count == 0) {
        settings.addPartInfo(Sptr<PartInfo>(new PartInfo(capacity)));
        return true;
    }
    std::vector<Sptr<PartInfo>> parts;
    for (int i = 0; i < count; ++i) {
        Sptr<PartInfo> part = settings.getPartInfo(i);
        if (!part) {
            break;
        }
        if (part->getDiskType() == DISK_CDROM && part->getCapacity() >= static_cast<unsigned long>(capacity)) {
            return false;
        }
        parts.push_back(part);
    }
    if (parts.empty()) {
        return true;
    }
    const bool firstIsCdrom = parts[0]->getDiskType() == DISK_CDROM;
    const int share = firstIsCdrom ? (count > 1 ? (capacity - static_cast<int>(parts[0]->getCapacity())) / (count - 1) : 0)
                                   : capacity / count;
    for (const Sptr<PartInfo>& part : parts) {
        if (part->getDiskType() != DISK_CDROM) {
            part->setCapacity(static_cast<unsigned long>(share));
        }
    }
    return true;
}

Sptr<schema::ConfigInfo> fittedRunSettings(schema::ConfigInfo& settings, int capacity)
{
    settings.setRealCapacity(capacity);
    if (!fitPartitions(settings, capacity)) {
        return Sptr<schema::ConfigInfo>();
    }
    return settings.update(capacity);
}

}  // namespace Tessor::shell
