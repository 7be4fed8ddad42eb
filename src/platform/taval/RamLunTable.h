// The logical units the controller serves, as it reads them from the LUN
// table (CFG_UDISK) of the configuration table in its RAM. Read byte by
// byte, independently of the tool's serialisers.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/taval/Variant.h"

namespace Tessor::taval {

struct RamLun {
    uint32_t start = 0;     // first logical sector
    uint32_t capacity = 0;  // sectors; 0: the slot holds no unit
    uint8_t diskType = 0;   // 0x00 fixed, 0x80 removable, 0x85 CD-ROM
    uint8_t flagsA = 0;
    uint8_t flagsB = 0;  // bit 0 read-protect, 1 write-protect, 2 dummy, 3 hidden

    bool hidden() const { return (flagsB & 0x08) != 0; }
    bool writeProtected() const { return (flagsB & 0x02) != 0; }
    bool readProtected() const { return (flagsB & 0x01) != 0; }
};

struct RamLunTable {
    static constexpr int kSlots = 4;

    int lastLun = 0;
    RamLun slot[kSlots];

    // Empty slots and defaults when the table is too short for the variant.
    static RamLunTable read(const Variant& variant, const std::vector<uint8_t>& table);
};

}  // namespace Tessor::taval
