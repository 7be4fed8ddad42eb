#include "usb/cmd/BitRange.h"

#include <bit>
#include <cstring>

namespace Tessor::usb::BitRange {

namespace {

unsigned char maskOf(int from, int to)
{
    // bits from .. to - 1 of one byte
    return static_cast<unsigned char>(((1u << to) - 1u) & ~((1u << from) - 1u));
}

// Hands the units [first, first + count) to `take` in pieces: single units
// (0 or 1) up to a byte boundary, then eight bytes at a time, single bytes,
// and single units after the last whole byte. Stops as soon as `take` returns
// true, and returns whether it did.
template <typename Take>
bool walk(const unsigned char* bits, int64_t first, int64_t count, Take take)
{
    int64_t unit = first;
    const int64_t end = first + count;
    for (; unit < end && (unit & 7) != 0; ++unit) {
        if (take(uint64_t(test(bits, unit)))) {
            return true;
        }
    }
    if (unit < end) {
        int64_t byte = unit >> 3;
        const int64_t lastByte = end >> 3;
        for (; byte + 8 <= lastByte; byte += 8) {
            uint64_t word;
            std::memcpy(&word, bits + byte, sizeof(word));
            if (take(word)) {
                return true;
            }
        }
        for (; byte < lastByte; ++byte) {
            if (take(uint64_t(bits[byte]))) {
                return true;
            }
        }
        unit = lastByte << 3;
    }
    for (; unit < end; ++unit) {
        if (take(uint64_t(test(bits, unit)))) {
            return true;
        }
    }
    return false;
}

}  // namespace

void fill(unsigned char* bits, int64_t first, int64_t count, bool value)
{
    int64_t unit = first;
    const int64_t end = first + count;
    while (unit < end && (unit & 7) != 0) {
        int64_t stop = (unit | 7) + 1;
        if (stop > end) {
            stop = end;
        }
        const unsigned char mask = maskOf(static_cast<int>(unit & 7), static_cast<int>(stop - (unit & ~int64_t(7))));
        bits[unit >> 3] = value ? (bits[unit >> 3] | mask) : (bits[unit >> 3] & ~mask);
        unit = stop;
    }
    const int64_t wholeBytes = (end - unit) >> 3;
    if (wholeBytes > 0) {
        std::memset(bits + (unit >> 3), value ? 0xFF : 0x00, static_cast<size_t>(wholeBytes));
        unit += wholeBytes << 3;
    }
    if (unit < end) {
        const unsigned char mask = maskOf(0, static_cast<int>(end - unit));
        bits[unit >> 3] = value ? (bits[unit >> 3] | mask) : (bits[unit >> 3] & ~mask);
    }
}

bool anySet(const unsigned char* bits, int64_t first, int64_t count)
{
    return walk(bits, first, count, [](uint64_t piece) { return piece != 0; });
}

int64_t countSet(const unsigned char* bits, int64_t first, int64_t count)
{
    int64_t total = 0;
    walk(bits, first, count, [&total](uint64_t piece) {
        total += std::popcount(piece);
        return false;
    });
    return total;
}

unsigned readWord(const unsigned char* bits, int64_t first, int count)
{
    if ((first & 7) == 0) {
        const unsigned char* byte = bits + (first >> 3);
        unsigned word = byte[0];
        if (count > 8) {
            word |= static_cast<unsigned>(byte[1]) << 8;
        }
        return word & ((1u << count) - 1u);
    }
    unsigned word = 0;
    for (int i = 0; i < count; ++i) {
        word |= static_cast<unsigned>(test(bits, first + i)) << i;
    }
    return word;
}

}  // namespace Tessor::usb::BitRange
