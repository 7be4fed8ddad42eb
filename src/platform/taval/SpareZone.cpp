#include "platform/taval/SpareZone.h"

#include <cstring>

#include "platform/orrin/Ecc.h"
#include "platform/taval/Geometry.h"

namespace Tessor::taval {

namespace {
constexpr int kMarker = SECTOR_BYTES;
constexpr int kParity = SECTOR_BYTES + 3;
constexpr int kParityBytes = SPARE_BYTES - 3;
// Symbols are 10 bits of the byte stream; places 4 bytes apart never share one.
constexpr int kPlaceStride = 4;
constexpr int kPlaces = SECTOR_BYTES / kPlaceStride;
}  // namespace

bool isProgrammed(const uint8_t* record) { return record[kMarker] == 0x00; }

void markProgrammed(uint8_t* record) {
    std::memset(record + SECTOR_BYTES, 0xFF, SPARE_BYTES);
    record[kMarker] = 0x00;
}

bool hasStoredParity(const uint8_t* record) {
    for (int i = 0; i < kParityBytes; ++i) {
        if (record[kParity + i] != 0xFF) {
            return true;
        }
    }
    return false;
}

void zoneOf(const uint8_t* record, uint8_t* zone16) {
    std::memcpy(zone16, record + SECTOR_BYTES, SPARE_BYTES);
    if (!hasStoredParity(record)) {
        generateEccCode(record, zone16);
    }
}

void programOver(uint8_t* record, const uint8_t* data) {
    uint8_t before[SPARE_BYTES];
    uint8_t after[SPARE_BYTES];
    zoneOf(record, before);
    for (int i = 0; i < SECTOR_BYTES; ++i) {
        record[i] &= data[i];
    }
    std::memcpy(after, record + SECTOR_BYTES, SPARE_BYTES);
    generateEccCode(data, after);
    for (int i = 0; i < kParityBytes; ++i) {
        record[kParity + i] = before[3 + i] & after[3 + i];
    }
}

void injectSymbolErrors(uint8_t* data, int symbols, uint64_t pattern) {
    bool used[kPlaces] = {};
    uint64_t z = pattern;
    for (int n = 0; n < symbols && n < kPlaces; ++n) {
        int place = 0;
        do {
            z = z * 6364136223846793005ULL + 1442695040888963407ULL;
            place = int((z >> 33) % kPlaces);
        } while (used[place]);
        used[place] = true;
        data[place * kPlaceStride] ^= uint8_t(1u << ((z >> 20) & 7));
    }
}

bool correctSector(uint8_t* data, uint8_t* zone16) {
    return Tessor::Ecc::checkAndCorrect(data, zone16) != Tessor::Ecc::Result::Uncorrectable;
}

}  // namespace Tessor::taval
