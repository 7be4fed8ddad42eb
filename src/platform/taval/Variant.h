// Controller variants the simulated devices can be: chip set, firmware
// version and the length of their configuration table.
#pragma once

#include <string>

#include "platform/taval/Taval.h"

namespace Tessor::taval {

struct Variant {
    CHIPSET_NAME_T id;       // chip-set code and name, e.g. 4 "6716V31"
    _HW_VERSION_T hardware;  // chip set, firmware version, caption
    const char* digits;      // version block bytes 4..7, e.g. "3.10"
    int tableLength;         // configuration table bytes
};

// Null when the name or chip set is not a variant's.
const Variant* findVariant(const std::string& name);
const Variant* findVariantByChipSet(int chipSet);

}  // namespace Tessor::taval
