// The MP3 profile "Mp3Config" as one flat record of 32-bit places.
#pragma once

#include <cstdint>

#include "usb/profile/BaseProfile.h"

namespace Tessor::usb {

struct Mp3ProfileRecord {
    static const int PLACES = 76;
    int32_t place[PLACES];
};

extern const Tessor::schema::profile_t Mp3ProfileFields;

}  // namespace Tessor::usb
