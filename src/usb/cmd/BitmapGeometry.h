// The flash geometry the bitmaps are laid out by, with the limits of what
// they can describe.
#pragma once

#include <cstdint>
#include <string>

#include "schema/base/Sptr.h"

namespace Tessor::schema {
class DiskInfo;
class UsbDevice;
}  // namespace Tessor::schema

namespace Tessor::usb {

struct BitmapGeometry {
    // From the device's disk information and its identified flash part.
    static BitmapGeometry ofDevice(schema::UsbDevice* device);

    int chips = 0;           // D
    int blocksPerChip = 0;   // K (TLC: rounded up to a power of two)
    int pagesPerBlock = 0;   // P (TLC: rounded up to a power of two)
    int sectorsPerPage = 0;  // S
    bool tlc = false;
    int realBlocksPerChip = 0;  // R, TLC only
    int realPagesPerBlock = 0;  // P', TLC only

    int64_t totalSectors() const { return int64_t(chips) * blocksPerChip * pagesPerBlock * sectorsPerPage; }
    int totalBlocks() const { return chips * blocksPerChip; }
    int sectorsPerBlock() const { return pagesPerBlock * sectorsPerPage; }
    int64_t firstSectorOfBlock(int block) const { return int64_t(block) * sectorsPerBlock(); }
    // Pages per block that hold data: the clean-up rules of TLC flash leave the rest bad.
    int dataPages() const;
    // Pages a block set may use per block.
    int usablePages() const { return tlc ? realPagesPerBlock : pagesPerBlock; }

    Sptr<schema::DiskInfo> toDiskInfo() const;

    // Empty when the bitmaps can describe this flash, else why they cannot.
    std::string unsupportedReason() const;
};

}  // namespace Tessor::usb
