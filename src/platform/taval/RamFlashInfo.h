// What the controller takes from the FLASH_INFO block of the configuration
// table in its RAM: the plane layout the scan commands spread over, the
// flash cycle bytes and the error-correction bits. Read by the controller
// itself, byte by byte, independently of the tool's serialisers.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/taval/Variant.h"

namespace Tessor::taval {

struct RamFlashInfo {
    bool present = false;  // false: no table in RAM, values below are defaults
    int maxPlanes = 0;     // each count minus 1
    int maxInterleaves = 0;
    int maxChips = 0;
    int readCycle = 0x22;
    int writeCycle = 0x22;
    int eccBits = -1;  // -1: the variant's block has no such byte

    int planes() const { return maxPlanes + 1; }
    int interleaves() const { return maxInterleaves + 1; }
    int gangedChips() const { return maxChips + 1; }
    int planeFactor() const { return planes() * interleaves() * gangedChips(); }

    // The block starts at byte 0x0C of the table; a table too short for the
    // variant's block gives the defaults.
    static RamFlashInfo read(const Variant& variant, const std::vector<uint8_t>& table);
};

}  // namespace Tessor::taval
