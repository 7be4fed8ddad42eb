#include "usb/scan/ScanGeometry.h"

#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::usb {

ScanGeometry ScanGeometry::ofDevice(schema::UsbDevice* device)
{
    ScanGeometry geometry;
    Sptr<schema::DiskInfo> disk = device->getDiskInfo();
    if (disk) {
        geometry.pagesPerBlock = disk->getPagesPerBlock();
    }
    Sptr<FlashInfo> flash = device->getFlashInfo();
    geometry.tlc = flash && flash->getChipInfo()->TLC == 1;
    return geometry;
}

bool ScanGeometry::hasPagePatterns() const
{
    // The half-block patterns need two flag bytes; the triple-level-cell
    // rules are written for 128-page blocks and for blocks of 192 pages on.
    if (pagesPerBlock <= 8) {
        return false;
    }
    return !tlc || pagesPerBlock == 128 || pagesPerBlock >= 192;
}

}  // namespace Tessor::usb
