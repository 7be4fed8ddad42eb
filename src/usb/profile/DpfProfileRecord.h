// The photo-frame profile "DpfConfig" as one flat record.
#pragma once

#include <cstdint>

#include "usb/profile/BaseProfile.h"

namespace Tessor::usb {

struct DpfProfileRecord {
    static const int PLACES = 167;
    int32_t place[PLACES];
    char texts[4][260];  // "EbookTextPath", "PhotoPath", "MoviePath", "StartPicPath"
    char lcdType[50];
};

extern const Tessor::schema::profile_t DpfProfileFields;

// The record place of an integer key, -1 for no such key.
int dpfPlaceOf(const char* key);

}  // namespace Tessor::usb
