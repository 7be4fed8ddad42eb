// The photo-frame pages' shared vocabulary: the entries of five frame menus
// with their Chinese and English captions, and the option lists of the
// control page's combo boxes. The menu tables also hold, row by row, the
// state and position the menu pages last copied from the menu model; they
// live in memory only and start from their defaults on every run. UI
// thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "utils/MenuItemRecord.h"

namespace Tessor::utils {

struct MenuOptionRecord {
    int32_t value;  // stored in the configuration; the row's index
    std::wstring text;
};

struct StartupOptionRecord {
    int32_t index;  // place in the combo box
    std::wstring text;
    int32_t code;  // stored in the configuration
};

// Rows in fixed order; the row number of a menu is its index + 1.
constexpr int CLOCK_MENU_ROWS = 7;
constexpr int CLOCK_MODE_ROWS = 4;
constexpr int PHOTO_MENU_ROWS = 4;
constexpr int SET_MENU_ROWS = 7;
constexpr int WELCOME_ROWS = 4;
extern MenuItemRecord DpfClockMenuItems[CLOCK_MENU_ROWS];
extern MenuItemRecord DpfClockModeItems[CLOCK_MODE_ROWS];
extern MenuItemRecord DpfPhotoMenuItems[PHOTO_MENU_ROWS];
extern MenuItemRecord DpfSetMenuItems[SET_MENU_ROWS];
extern MenuItemRecord DpfWelcomeItems[WELCOME_ROWS];

// Each ends with the row of value 0 and text "NONE", which is never shown.
extern const MenuOptionRecord DpfLanguageOptions[3];
extern const MenuOptionRecord DpfSecondsOptions[3];
extern const MenuOptionRecord DpfDateOrderOptions[4];
extern const MenuOptionRecord DpfStyleOptions[4];
// Ends with the row 0, "NONE", 0.
extern const StartupOptionRecord DpfStartupOptions[5];

// The texts a combo box shows: the rows up to the end row.
std::vector<std::wstring> optionTexts(const MenuOptionRecord* list);
std::vector<std::wstring> startupOptionTexts();
// The combo index of the row whose code is `code`; 0 when none matches.
int startupIndexOfCode(int32_t code);
// The code of combo index `index`; `current` for an index that has no row.
int32_t startupCodeOfIndex(int index, int32_t current);

}  // namespace Tessor::utils
