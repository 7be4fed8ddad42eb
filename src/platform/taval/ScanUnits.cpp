#include "platform/taval/ScanUnits.h"

#include "platform/orrin/ByteOrder.h"

namespace Tessor::taval {

ScanCommand ScanCommand::fromCdb(const uint8_t* cdb) {
    ScanCommand c;
    c.sector = fieldAt<Be32>(cdb + 1);
    c.flag = cdb[5];
    c.chip = cdb[6];
    for (int i = 0; i < 4; ++i) {
        c.pattern[i] = cdb[7 + i];
    }
    c.op = cdb[11];
    c.jump = int(fieldAt<Be16>(cdb + 12));
    c.repeat = int(fieldAt<Be16>(cdb + 14));
    return c;
}

void fillControllerPattern(uint8_t* data, int sectors) {
    for (int i = 0; i < sectors * SECTOR_BYTES; ++i) {
        data[i] = (i & 1) != 0 ? 0xAA : 0x55;
    }
}

int64_t scanStart(const Geometry& g, const RamFlashInfo& ram, int chip, int64_t sector, bool* disagrees) {
    *disagrees = false;
    const int64_t group = g.sectorsPerChip() * ram.gangedChips();
    if (chip < 0 || sector < 0 || int64_t(chip) * group >= g.totalSectors()) {
        return -1;
    }
    if (sector >= group) {
        *disagrees = sector / group != chip;
        return sector < g.totalSectors() ? sector : -1;
    }
    const int64_t start = chip * group + sector;
    return start < g.totalSectors() ? start : -1;
}

}  // namespace Tessor::taval
