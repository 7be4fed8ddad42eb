// The sector-bitmap image on the flash: a header sector, L2 sectors that
// list the bitmap sectors, and the bitmap sectors, every number low byte
// first and every address a device-wide sector number.
#pragma once

#include <cstdint>

#include "platform/orrin/ByteOrder.h"

namespace Tessor::usb {

struct SectorBitmapImageHeader {
    static constexpr uint32_t MAGIC = 0x7AA77AA7;
    // The 6706 layout's header starts with the bytes 7A A7 7A A7 7A 7A 7A 7A.
    static constexpr uint32_t MAGIC_6706_FIRST = 0xA77AA77A;
    static constexpr uint32_t MAGIC_6706_SECOND = 0x7A7A7A7A;
    static constexpr int L2_ENTRIES = 124;

    Le32 magic[2];
    Le32 l2Count;       // Q
    Le32 imageSectors;  // N = 1 + Q + bitmap sectors
    Le32 l2Address[L2_ENTRIES];
};
static_assert(sizeof(SectorBitmapImageHeader) == 512);

struct SectorBitmapImageL2 {
    static constexpr int ENTRIES = 128;
    Le32 bitmapAddress[ENTRIES];
};
static_assert(sizeof(SectorBitmapImageL2) == 512);

}  // namespace Tessor::usb
