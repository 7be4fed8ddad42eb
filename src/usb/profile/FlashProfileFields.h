// Key tables of the flash-chip table: the keys identification reads, and
// the keys the chip-table editor shows and writes.
#pragma once

#include "usb/profile/BaseProfile.h"

namespace Tessor::usb {

extern const Tessor::schema::profile_t FlashProfileFields;

const int FLASH_PROFILE_KEY_COUNT = 74;
extern const wchar_t* const FlashProfileKeys[FLASH_PROFILE_KEY_COUNT];

}  // namespace Tessor::usb
