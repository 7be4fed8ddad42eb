#include "usb/profile/UserProfileRecord.h"

#include <cstddef>

namespace Tessor::usb {

namespace {

using Tessor::schema::PROFILE_INT;
using Tessor::schema::PROFILE_STRING;
using Tessor::schema::profile_entry_t;

#define USER_INT(key, field) {key, offsetof(UserProfileRecord, field), PROFILE_INT, 4}
#define USER_TEXT(key, field) {key, offsetof(UserProfileRecord, field), PROFILE_STRING, 260}

const profile_entry_t entries[] = {
    USER_INT("autoStart", autoStart),
    USER_INT("blockMode", blockMode),
    USER_INT("capacityPolicy", capacityPolicy),
    USER_INT("realCapacity", realCapacity),
    USER_INT("configCapacity", configCapacity),
    USER_INT("PtnCapacity0", ptnCapacity[0]),
    USER_INT("PtnCapacity1", ptnCapacity[1]),
    USER_INT("PtnCapacity2", ptnCapacity[2]),
    USER_INT("PtnWrProtect0", ptnWrProtect[0]),
    USER_INT("PtnWrProtect1", ptnWrProtect[1]),
    USER_INT("PtnWrProtect2", ptnWrProtect[2]),
    USER_INT("PtnEncrypt0", ptnEncrypt[0]),
    USER_INT("PtnEncrypt1", ptnEncrypt[1]),
    USER_INT("PtnEncrypt2", ptnEncrypt[2]),
    USER_INT("PtnType0", ptnType[0]),
    USER_INT("PtnType1", ptnType[1]),
    USER_INT("PtnType2", ptnType[2]),
    USER_TEXT("CopyPath0", copyPath[0]),
    USER_TEXT("CopyPath1", copyPath[1]),
    USER_TEXT("CopyPath2", copyPath[2]),
    USER_TEXT("VolumeLabel0", volumeLabel[0]),
    USER_TEXT("VolumeLabel1", volumeLabel[1]),
    USER_TEXT("VolumeLabel2", volumeLabel[2]),
    USER_INT("BootType", bootType),
    USER_TEXT("Password", password),
    USER_TEXT("VendorString", vendorString),
    USER_TEXT("ProductString", productString),
    USER_INT("VendorCode", vendorCode),
    USER_INT("ProductCode", productCode),
    USER_INT("SNGenMode", snGenMode),
    USER_TEXT("SerialNoLabel", serialNoLabel),
    USER_INT("SerialNumber", serialNumber),
    USER_INT("ScanLevel", scanLevel),
    USER_INT("ScanPriority", scanPriority),
    USER_INT("ScanTimes", scanTimes),
    USER_INT("AutoScanMode", autoScanMode),
    USER_INT("ScanMode", scanMode),
    USER_INT("Speed", speed),
    USER_INT("EccStatus", eccStatus),
    USER_INT("EccBytes", eccBytes),
    USER_INT("LEDStatus", ledStatus),
    USER_INT("LEDFreq", ledFreq),
    USER_INT("PtnHid0", ptnHid0),
    USER_INT("IsBind", isBind),
};

}  // namespace

const Tessor::schema::profile_t UserProfileFields = {static_cast<int>(sizeof entries / sizeof entries[0]), entries};

}  // namespace Tessor::usb
