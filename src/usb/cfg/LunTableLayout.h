// The packed LUN table (CFG_UDISK) of each controller variant: four slots,
// written from and read back into the item's LUNs.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/orrin/ByteOrder.h"
#include "usb/cfg/CfgVariant.h"
#include "usb/cfg/LunFields.h"

namespace Tessor::usb {

// 6716, 6716V31, 6716V32, 6726 and 6605; the first 65 bytes are shared.
struct CfgUdiskRecord {
    uint8_t lastLun;
    uint8_t slot[4];
    uint8_t flagsA[4];
    uint8_t diskType[4];
    Be32 startSector[3];  // slots 1 to 3; slot 0 starts at sector 0
    Be32 capacity[4];
    Be32 capDummy;
    uint8_t blockSize[4];
    Be16 rdProtect[4];
    uint8_t flagsB[4];
    Le32 tailWord;
    uint8_t unwritten[4];
};
static_assert(sizeof(CfgUdiskRecord) == 69);
static_assert(offsetof(CfgUdiskRecord, capacity) == 0x19);
static_assert(offsetof(CfgUdiskRecord, capDummy) == 0x29);
static_assert(offsetof(CfgUdiskRecord, blockSize) == 0x2D);
static_assert(offsetof(CfgUdiskRecord, flagsB) == 0x39);
static_assert(offsetof(CfgUdiskRecord, tailWord) == 0x3D);

struct CfgUdisk6706Record {
    uint8_t lastLun;
    uint8_t diskForLun[4];
    uint8_t flagsA[4];
    uint8_t diskType[4];
    Be32 startSector[3];
    Be32 capacity[4];
    uint8_t blockSize[4];
    Be16 rdProtect[4];
    uint8_t flagsB[4];
    Le32 udiskReserved;
};
static_assert(sizeof(CfgUdisk6706Record) == 61);
static_assert(offsetof(CfgUdisk6706Record, blockSize) == 0x29);
static_assert(offsetof(CfgUdisk6706Record, flagsB) == 0x35);
static_assert(offsetof(CfgUdisk6706Record, udiskReserved) == 0x39);

class LunTableLayout {
public:
    static constexpr int kSlots = 4;

    static int length(CfgVariant variant);
    // Writes at most four slots from `luns` (list order); returns the length.
    // Clears `highFormatPending` once its adjustment is written.
    static int write(CfgVariant variant, const std::vector<const LunFields*>& luns,
                     UdiskFields& item, void* place);
    // Reads the slots back into `luns` and the item words; returns the length.
    static int read(CfgVariant variant, const std::vector<LunFields*>& luns, UdiskFields& item,
                    const void* place);

private:
    static int write6706(const std::vector<const LunFields*>& luns, const UdiskFields& item,
                         void* place);
    static int read6706(const std::vector<LunFields*>& luns, UdiskFields& item, const void* place);
};

}  // namespace Tessor::usb
