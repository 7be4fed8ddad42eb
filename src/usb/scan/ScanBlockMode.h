// Which blocks a scan pass covers.
#pragma once

#include <cstdint>

enum _SCAN_BLOCK_MODE : int32_t {
    SCAN_BLOCK_ALL = 0,
    SCAN_BLOCK_ODD = 1,
    SCAN_BLOCK_EVEN = 2,
};
