#include "platform/taval/Geometry.h"

namespace Tessor::taval {

bool Geometry::exists(int64_t sector) const {
    const int64_t page = sector / sectorsPerPage;
    const int64_t block = page / pagesPerBlock;
    return (realPagesPerBlock == 0 || page % pagesPerBlock < realPagesPerBlock) &&
           (realBlocksPerChip == 0 || block % blocksPerChip < realBlocksPerChip);
}

bool Geometry::allExist(int64_t first, int64_t count) const {
    if (!isTlc()) {
        return true;
    }
    for (int64_t s = first; s < first + count; s += sectorsPerPage - (s % sectorsPerPage)) {
        if (!exists(s)) {
            return false;
        }
    }
    return true;
}

int64_t normaliseSector(const Geometry& g, int chip, int64_t sector, bool* disagrees) {
    *disagrees = false;
    if (chip < 0 || chip >= g.chips || sector < 0) {
        return -1;
    }
    const int64_t spc = g.sectorsPerChip();
    if (sector >= spc) {
        if (sector >= g.totalSectors()) {
            return -1;
        }
        *disagrees = sector / spc != chip;
        return sector;
    }
    return chip * spc + sector;
}

}  // namespace Tessor::taval
