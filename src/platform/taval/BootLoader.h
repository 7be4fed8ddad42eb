// What the controller's boot ROM does at plug-in: look for its
// configuration table where the firmware places it. Index-pointer firmware
// (3.10, 3.20, 4.00) follows an index record on a step page of block 2 or
// later to the table's page; chip sets 3 and 7 look at the step pages
// themselves. A device whose table lies anywhere else (one made by hand, or
// a chip set without a placement rule) boots from the first valid table
// among the programmed sectors.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/taval/DeviceDescription.h"
#include "platform/taval/FlashStore.h"

namespace Tessor::taval {

struct BootResult {
    int64_t sector = -1;          // device-wide sector of the table, -1 = none
    std::vector<uint8_t> table;   // the table sector, `tableLength` bytes
};

// A page index (block x pages per block + page) where a table or an index
// record may stand, in either flash mode's step pattern.
bool isStepPage(int64_t page);

// The 12-byte record at the start of an index image: magic A5 33 31, flag
// byte with its complement nibble, XOR byte and a complement sum of the six
// 16-bit words.
bool isIndexRecord(const uint8_t* record);

// Firmware version number of the version block's digits ("3.10" -> 310).
int firmwareNumber(const DeviceDescription& description);

[[nodiscard]] BootResult findConfigTable(FlashStore& flash, const DeviceDescription& description);

}  // namespace Tessor::taval
