#include "platform/taval/Geometry.h"

namespace Tessor::taval {

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
