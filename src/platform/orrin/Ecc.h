// Error-correcting code of a 512-byte sector and its 16-byte spare zone.
// Reed-Solomon over GF(2^10) (x^10 + x^3 + 1), 10 parity symbols: up to 5
// symbol errors per sector are corrected. The message is the 512 data bytes
// followed by zone bytes 0..2; parity code i sits in the zone as a
// little-endian bit stream from bit 24 + 10*i; bits 124..127 are zero.
#pragma once

#include <cstdint>

// Completes the zone in place: bytes 0..2 stay, bytes 3..15 take the parity.
void generateEccCode(const uint8_t* sector512, uint8_t* zone16);

namespace Tessor::Ecc {

// Result of checkAndCorrect.
enum class Result { Clean, Corrected, Uncorrectable };

// Checks sector and zone bytes 0..15 against each other and corrects up to
// five bad symbols in place (data, zone bytes 0..2 or parity). An
// uncorrectable sector is left as read. Zone bits 124..127 are outside the
// code and never checked.
// `corrected`, when not null, receives the number of symbols fixed.
[[nodiscard]] Result checkAndCorrect(uint8_t* sector512, uint8_t* zone16, int* corrected = nullptr);

// Parity code i (0..9) as a zone reader extracts it.
uint16_t zoneCode(const uint8_t* zone16, int i);

}  // namespace Tessor::Ecc
