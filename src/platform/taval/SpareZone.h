// The spare zone of a flash sector: byte 0 marks a programmed sector,
// bytes 3..15 carry the parity of the sector's error-correcting code.
// Parity of a sector programmed once is derived from its data when a read
// needs it; it is stored only when a second program makes it differ.
#pragma once

#include <cstdint>

namespace Tessor::taval {

bool isProgrammed(const uint8_t* record);
// Spare of a freshly programmed sector.
void markProgrammed(uint8_t* record);
bool hasStoredParity(const uint8_t* record);
// Zone as the controller holds it: stored parity, or parity of the data.
void zoneOf(const uint8_t* record, uint8_t* zone16);
// Programs `data` over an already programmed record: bits only clear, and
// the stored parity becomes what the two programs leave behind.
void programOver(uint8_t* record, const uint8_t* data);

// Flips one bit in each of `symbols` distinct code symbols of the data, at
// places picked by `pattern`.
void injectSymbolErrors(uint8_t* data, int symbols, uint64_t pattern);

// Corrects data in place through the zone; false when uncorrectable.
[[nodiscard]] bool correctSector(uint8_t* data, uint8_t* zone16);

}  // namespace Tessor::taval
