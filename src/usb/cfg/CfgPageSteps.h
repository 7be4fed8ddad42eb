// The page positions a configuration-table page may stand at, by whole-device
// page index (block x pages per block + page): the 8-step pattern and the
// V31 pattern, whose step depends on the flash mode.
#pragma once

#include <cstdint>

namespace Tessor::usb {

class CfgPageSteps {
public:
    static constexpr int LAST_8_STEP = 2063361;

    static bool cfgTable8StepCheck(int n);
    // m is the code-control flash mode byte, 2 x flash mode + e.
    static bool v31CfgTable8stepCheck(int n, uint8_t m);
    // e is eccOpen, or 1 on 8-sector pages of parts that run 12-bit correction.
    static uint8_t v31Mode(int flashMode, int eccOpen, int sectorsPerPage, uint32_t flashId);
};

}  // namespace Tessor::usb
