#include "platform/taval/ConfigTableSector.h"

#include <cstring>

namespace Tessor::taval {

namespace {
uint32_t wordAt(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
}  // namespace

bool hasTableSignature(const uint8_t* sector) {
    static const uint8_t kSignature[8] = {0x5A, 0xA5, 0x5A, 0xA5, 0x5A, 0xA5, 0x5A, 0xA5};
    return std::memcmp(sector, kSignature, sizeof kSignature) == 0;
}

uint32_t tableChecksum(const uint8_t* sector) {
    uint32_t x = 0;
    for (int off = 0; off < 512; off += 4) {
        if (off != 8) {
            x ^= wordAt(sector + off);
        }
    }
    return x;
}

bool isValidTable(const uint8_t* sector) {
    return hasTableSignature(sector) && wordAt(sector + 8) == tableChecksum(sector);
}

void sealTable(uint8_t* sector) {
    const uint32_t x = tableChecksum(sector);
    for (int i = 0; i < 4; ++i) {
        sector[8 + i] = uint8_t(x >> (8 * i));
    }
}

}  // namespace Tessor::taval
