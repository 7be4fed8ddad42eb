// The units one scan command of the controller's scan firmware covers. The
// host names a start sector, a jump and a repeat count; with a multi-plane
// layout in the RAM table (planes x interleaves x ganged chips = W > 1) the
// units of one repeat step spread over the planes, the interleaves and the
// chip groups, and their result bits lie W x sectors-per-page apart.
#pragma once

#include <cstdint>

#include "platform/taval/Geometry.h"
#include "platform/taval/RamFlashInfo.h"

namespace Tessor::taval {

// Result bits one command returns: the 1024 bytes of the transfer.
constexpr int SCAN_RESULT_BYTES = 1024;
constexpr int64_t SCAN_RESULT_BITS = SCAN_RESULT_BYTES * 8;

struct ScanCommand {
    int op = 0;        // 1 write the pattern, 2 read the result
    int flag = 0;      // 1 with op 1: status read, nothing programmed
    int chip = 0;      // chip group of the ganged chips
    int64_t sector = 0;
    int jump = 0;      // sectors between units of one plane
    int repeat = 0;    // units of one plane
    uint8_t pattern[4] = {};  // tolerated wrong bytes, 0x55, 0xAA, first command

    // Vendor read 0xD4: bytes 1-4 sector, 5 flag, 6 chip, 7-10 pattern,
    // 11 op, 12-13 jump, 14-15 repeat, numbers high byte first.
    static ScanCommand fromCdb(const uint8_t* cdb);
    int tolerance() const { return pattern[0]; }
};

// The bytes of the controller's own test pattern, as flash reads return them.
void fillControllerPattern(uint8_t* data, int sectors);

// Device-wide start sector: chip counts groups of ganged chips; a sector
// beyond its group is taken as device-wide already (`disagrees` tells when
// it then lies in another group). -1 outside the flash.
int64_t scanStart(const Geometry& g, const RamFlashInfo& ram, int chip, int64_t sector, bool* disagrees);

// Calls unit(d, bit) for every unit: d its first sector (possibly at or past
// the end of the flash), bit the first of its sectors-per-page result bits.
template <class Unit>
void forEachScanUnit(const Geometry& g, const RamFlashInfo& ram, int64_t start, int jump, int repeat, Unit&& unit) {
    const int64_t planes = ram.planes();
    const int64_t lanes = int64_t(ram.interleaves()) * ram.gangedChips();
    const int64_t w = planes * lanes;
    const int64_t b = g.sectorsPerBlock();
    const int64_t laneSpan = g.totalSectors() / lanes;
    const int64_t r = start % (b * w);
    const int64_t base = (start - r) / lanes + r / w;
    for (int64_t t = 0; t < repeat; ++t) {
        const int64_t step = base + (t * jump * planes) / w;
        for (int64_t k = 0; k < lanes; ++k) {
            for (int64_t m = 0; m < planes; ++m) {
                unit(step + k * laneSpan + m * b, (t * w + k * planes + m) * g.sectorsPerPage);
            }
        }
    }
}

}  // namespace Tessor::taval
