#include "usb/cmd/BitmapGeometry.h"

#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::usb {

BitmapGeometry BitmapGeometry::ofDevice(schema::UsbDevice* device)
{
    BitmapGeometry geometry;
    Sptr<schema::DiskInfo> disk = device->getDiskInfo();
    if (disk) {
        geometry.chips = disk->getChipsPerDisk();
        geometry.blocksPerChip = disk->getBlocksPerChip();
        geometry.pagesPerBlock = disk->getPagesPerBlock();
        geometry.sectorsPerPage = disk->getSectorsPerPage();
    }
    Sptr<FlashInfo> flash = device->getFlashInfo();
    if (flash && flash->getChipInfo()->TLC == 1) {
        geometry.tlc = true;
        geometry.realBlocksPerChip = flash->getChipInfo()->RealBlockPerChip;
        geometry.realPagesPerBlock = flash->getChipInfo()->RealPagePerBlock;
    }
    return geometry;
}

Sptr<schema::DiskInfo> BitmapGeometry::toDiskInfo() const
{
    return Sptr<schema::DiskInfo>(new schema::DiskInfo(chips, blocksPerChip, pagesPerBlock, sectorsPerPage));
}

int BitmapGeometry::dataPages() const
{
    if (!tlc) {
        return pagesPerBlock;
    }
    return pagesPerBlock == 256 ? 192 : 94;
}

std::string BitmapGeometry::unsupportedReason() const
{
    if (chips <= 0 || blocksPerChip <= 0 || pagesPerBlock <= 0 || sectorsPerPage <= 0) {
        return "empty geometry";
    }
    if (sectorsPerPage > 16 || 16 % sectorsPerPage != 0) {
        return "sectors per page not a divisor of 16";
    }
    // The per-block spans are read as 16-bit words.
    if (sectorsPerBlock() % 16 != 0) {
        return "block span not a whole number of 16-bit words";
    }
    // Image limit: 123 L2 sectors of 128 bitmap sectors of 4096 sectors each.
    if (totalSectors() > int64_t(123) * 128 * 512 * 8) {
        return "more sectors than the bitmap image can hold";
    }
    if (tlc && (realBlocksPerChip <= 0 || realBlocksPerChip > blocksPerChip || realPagesPerBlock <= 0 ||
                   realPagesPerBlock > pagesPerBlock)) {
        return "real TLC counts outside the rounded geometry";
    }
    return {};
}

}  // namespace Tessor::usb
