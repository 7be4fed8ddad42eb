// The build-information sector as it lies on the flash: numbers low byte first.
#pragma once

#include <cstddef>

#include "platform/orrin/ByteOrder.h"

namespace Tessor::usb {

struct BuildInfoSector {
    Le32 toolVersion;
    Le16 codeVersion;
    Le64 buildTime;  // Windows file time
    uint8_t scanBlockMode;
    uint8_t scanPageMode;
    uint8_t eccBytes;
    uint8_t scanPriority;
    uint8_t scanLevel;
    Le16 autoScanMode;
    Le32 realCapacity;
    Le32 configCapacity;
    Le32 totalCapacity;
    Le32 badSectors;
    uint8_t password[18];
    uint8_t zero[457];
};
static_assert(sizeof(BuildInfoSector) == 512);
static_assert(offsetof(BuildInfoSector, buildTime) == 6);
static_assert(offsetof(BuildInfoSector, autoScanMode) == 19);
static_assert(offsetof(BuildInfoSector, realCapacity) == 21);
static_assert(offsetof(BuildInfoSector, password) == 37);

}  // namespace Tessor::usb
