// One entry of a photo-frame menu word table and of the menu pages' lists.
#pragma once

#include <cstdint>
#include <string>

namespace Tessor::utils {

struct MenuItemRecord {
    int32_t state = 0;     // 1 shown, 0 hidden
    int32_t position = 0;  // 1-based
    std::wstring chineseCaption;
    std::wstring englishCaption;
};

// Orders by position only: equal positions are neither less nor greater.
inline bool compareMenuRecords(const MenuItemRecord& a, const MenuItemRecord& b) { return a.position < b.position; }

}  // namespace Tessor::utils
