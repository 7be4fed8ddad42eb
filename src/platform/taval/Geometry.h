// NAND geometry of a simulated device and the flash address forms the tool
// passes: a sector number inside a chip, or one counted over the device.
#pragma once

#include <cstdint>

#include "platform/orrin/Sector.h"

namespace Tessor::taval {

constexpr int SPARE_BYTES = 16;
constexpr int RECORD_BYTES = SECTOR_BYTES + SPARE_BYTES;

struct Geometry {
    int chips = 1;
    int blocksPerChip = 256;
    int pagesPerBlock = 64;
    int sectorsPerPage = 4;
    // Triple-level-cell parts: the blocks of a chip and pages of a block
    // that really exist; the counts above are these rounded up.
    int realBlocksPerChip = 0;  // 0 = all
    int realPagesPerBlock = 0;  // 0 = all

    bool isTlc() const { return realBlocksPerChip != 0 || realPagesPerBlock != 0; }
    // False for a sector in a block or page the part does not have.
    bool exists(int64_t sector) const;
    // True when every sector of [first, first + count) exists.
    bool allExist(int64_t first, int64_t count) const;

    int64_t sectorsPerBlock() const { return int64_t(pagesPerBlock) * sectorsPerPage; }
    int64_t sectorsPerChip() const { return sectorsPerBlock() * blocksPerChip; }
    int64_t totalSectors() const { return sectorsPerChip() * chips; }
    int64_t totalBlocks() const { return int64_t(blocksPerChip) * chips; }
};

// Device-wide sector for (chip, sector). A sector beyond the chip is taken
// as device-wide already; `disagrees` tells whether it then lies on another
// chip than the one passed. -1 when chip or sector is out of range.
int64_t normaliseSector(const Geometry& g, int chip, int64_t sector, bool* disagrees);

}  // namespace Tessor::taval
