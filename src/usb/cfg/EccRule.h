// Flash parts whose 8-sector pages still run 7-bit error correction,
// by their id bytes read as one number (maker code highest).
#pragma once

#include <cstdint>

namespace Tessor::usb {

inline bool keepsSevenBitEcc(uint32_t flashId)
{
    return flashId == 0xEC000000u || flashId == 0xECD514B6u || flashId == 0xECD755B6u ||
           flashId == 0xADD514B6u;
}

// 12-bit correction: 8 sectors per page on any part but those above.
inline bool usesTwelveBitEcc(int sectorsPerPage, uint32_t flashId)
{
    return sectorsPerPage == 8 && !keepsSevenBitEcc(flashId);
}

}  // namespace Tessor::usb
