// One entry of the e-book directory: book number, title (no terminating
// zero, 0xFF after it), logical sector in the e-book area and size in bytes,
// numbers high byte first.
#pragma once

#include <cstdint>

#include "platform/orrin/ByteOrder.h"

namespace Tessor::usb {

struct EbookEntryRecord {
    static constexpr int TITLE_SIZE = 10;

    uint8_t number;
    char title[TITLE_SIZE];
    Be32 sector;
    Be32 size;
    uint8_t filler[13];
};
static_assert(sizeof(EbookEntryRecord) == 32);

}  // namespace Tessor::usb
