// Number of a page pattern: which pages of a block one scan pass touches.
#pragma once

#include <cstdint>

enum _SCAN_PAGE_MODE : int32_t {
    SCAN_PAGE_ALL = 0,
    SCAN_PAGE_4K_IGNORE_H = 1,
    SCAN_PAGE_4K_IGNORE_L = 2,
    SCAN_PAGE_4KQ_IGNORE_H = 3,
    SCAN_PAGE_4KQ_IGNORE_L = 4,
    SCAN_PAGE_2K_ODD = 5,
    SCAN_PAGE_2K_EVEN = 6,
    SCAN_PAGE_6L_LOW = 7,
    SCAN_PAGE_6L_HIGH = 8,
    SCAN_PAGE_FORMER_HALF = 9,
    SCAN_PAGE_AFTER_HALF = 10,
    SCAN_PAGE_TLC_ALL = 11,
    SCAN_PAGE_TLC_BC = 12,
    SCAN_PAGE_TLC_B = 13,
    SCAN_PAGE_TLC_AB = 14,
    SCAN_PAGE_TLC_A = 15,
    SCAN_PAGE_FRONT2 = 16,
};
