// What the controller's boot ROM does at plug-in: look for a valid
// configuration table among the programmed sectors of the flash.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/taval/FlashStore.h"

namespace Tessor::taval {

struct BootResult {
    int64_t sector = -1;          // device-wide sector of the table, -1 = none
    std::vector<uint8_t> table;   // the table sector, `tableLength` bytes
};

BootResult findConfigTable(FlashStore& flash, int tableLength);

}  // namespace Tessor::taval
