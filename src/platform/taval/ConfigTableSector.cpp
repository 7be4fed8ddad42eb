#include "platform/taval/ConfigTableSector.h"

#include <cstring>

#include "platform/orrin/ByteOrder.h"
#include "platform/orrin/Sector.h"

namespace Tessor::taval {

bool hasTableSignature(const uint8_t* sector) {
    static const uint8_t kSignature[8] = {0x5A, 0xA5, 0x5A, 0xA5, 0x5A, 0xA5, 0x5A, 0xA5};
    return std::memcmp(sector, kSignature, sizeof kSignature) == 0;
}

uint32_t tableChecksum(const uint8_t* sector) {
    uint32_t x = 0;
    for (int off = 0; off < SECTOR_BYTES; off += 4) {
        if (off != 8) {
            x ^= fieldAt<Le32>(sector + off);
        }
    }
    return x;
}

bool isValidTable(const uint8_t* sector) {
    return hasTableSignature(sector) && fieldAt<Le32>(sector + 8) == tableChecksum(sector);
}

void sealTable(uint8_t* sector) {
    const uint32_t x = tableChecksum(sector);
    for (int i = 0; i < 4; ++i) {
        sector[8 + i] = uint8_t(x >> (8 * i));
    }
}

}  // namespace Tessor::taval
