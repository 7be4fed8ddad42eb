// Recognises a configuration-table sector: two signature words 5A A5 5A A5
// and, at bytes 8..11, the XOR of every other 32-bit word of the 512 bytes.
#pragma once

#include <cstdint>

namespace Tessor::taval {

bool hasTableSignature(const uint8_t* sector);
uint32_t tableChecksum(const uint8_t* sector);
bool isValidTable(const uint8_t* sector);
// Stores the checksum at bytes 8..11.
void sealTable(uint8_t* sector);

}  // namespace Tessor::taval
