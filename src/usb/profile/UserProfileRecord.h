// The user profile "SettingInformation" as one flat record.
#pragma once

#include <cstdint>

#include "usb/profile/BaseProfile.h"

namespace Tessor::usb {

struct UserProfileRecord {
    int32_t autoStart;
    int32_t blockMode;
    int32_t capacityPolicy;
    int32_t realCapacity;
    int32_t configCapacity;
    int32_t ptnCapacity[3];
    int32_t ptnWrProtect[3];
    int32_t ptnEncrypt[3];
    int32_t ptnType[3];
    char copyPath[3][260];
    char volumeLabel[3][260];
    int32_t bootType;
    char password[260];
    char vendorString[260];
    char productString[260];
    int32_t vendorCode;
    int32_t productCode;
    int32_t snGenMode;
    char serialNoLabel[260];
    int32_t serialNumber;
    int32_t scanLevel;
    int32_t scanPriority;
    int32_t scanTimes;
    int32_t autoScanMode;
    int32_t scanMode;
    int32_t speed;
    int32_t eccStatus;
    int32_t eccBytes;
    int32_t ledStatus;
    int32_t ledFreq;
    int32_t ptnHid0;
    int32_t isBind;
};

extern const Tessor::schema::profile_t UserProfileFields;

}  // namespace Tessor::usb
