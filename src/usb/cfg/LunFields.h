// The fields of one logical unit as the LUN tables carry them.
#pragma once

#include <cstdint>

namespace Tessor::usb {

struct LunFields {
    uint8_t Refresh = 0;
    uint8_t CdromRefresh = 0;
    uint8_t Eject = 0;
    uint8_t bit3_rsv = 0;
    uint8_t WrProtectPin = 0;
    uint8_t firstRefresh = 0;
    uint8_t refreshEn = 0;
    int32_t DiskType = 0x80;  // 0x00 fixed, 0x80 removable, 0x85 CD-ROM
    uint32_t StartSector = 0;
    uint32_t Capacity = 0;     // sectors
    uint8_t DiskBlockSize = 0;  // 0 = 512 .. 3 = 4096 bytes
    uint16_t RdProtectStartingSec = 0;
    uint8_t ReadProtect = 0;
    uint8_t WriteProtect = 0;
    uint8_t DummyDisk = 0;
    uint8_t Hide = 0;
    uint8_t DiskInfoReserve = 0;
    uint8_t DiskForLun = 0xFF;  // 0xFF: no LUN in this slot
    uint8_t extFlagA4 = 0;
    uint8_t extFieldA = 0;
    uint8_t extFlagB4 = 0;
    uint8_t extFieldB = 0;

    bool operator==(const LunFields&) const = default;
};

// The partition item's own words that the LUN tables carry.
struct UdiskFields {
    uint32_t udiskReserved = 0;
    uint32_t CapDummy = 0;
    uint32_t totalCapacity = 0;
    uint8_t highFormatPending = 0;
};

}  // namespace Tessor::usb
