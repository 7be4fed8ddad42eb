// Bit operations over the least-significant-bit-first maps that every bitmap
// of the flash uses (unit u is bit u % 8 of byte u / 8).
#pragma once

#include <cstdint>

namespace Tessor::usb::BitRange {

inline bool test(const unsigned char* bits, int64_t unit)
{
    return (bits[unit >> 3] >> (unit & 7)) & 1;
}

inline void set(unsigned char* bits, int64_t unit)
{
    bits[unit >> 3] |= static_cast<unsigned char>(1u << (unit & 7));
}

inline void clear(unsigned char* bits, int64_t unit)
{
    bits[unit >> 3] &= static_cast<unsigned char>(~(1u << (unit & 7)));
}

// The units [first, first + count) all set (value true) or all cleared.
void fill(unsigned char* bits, int64_t first, int64_t count, bool value);

bool anySet(const unsigned char* bits, int64_t first, int64_t count);

int64_t countSet(const unsigned char* bits, int64_t first, int64_t count);

// Reads up to 16 units from `first` as a word, the first unit in the low bit.
unsigned readWord(const unsigned char* bits, int64_t first, int count);

}  // namespace Tessor::usb::BitRange
