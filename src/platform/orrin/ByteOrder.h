// Multi-byte fields of the controller records as byte arrays, so a record
// struct has no padding and its layout is exactly the bytes on the flash.
#pragma once

#include <cstdint>
#include <cstring>

namespace Tessor {

// High byte first.
struct Be16 {
    uint8_t b[2];
    void set(uint16_t v)
    {
        b[0] = static_cast<uint8_t>(v >> 8);
        b[1] = static_cast<uint8_t>(v);
    }
    uint16_t get() const { return static_cast<uint16_t>((b[0] << 8) | b[1]); }
};

struct Be32 {
    uint8_t b[4];
    void set(uint32_t v)
    {
        for (int i = 0; i < 4; ++i) {
            b[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
        }
    }
    uint32_t get() const
    {
        return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
    }
};

// Low byte first (the one little-endian word of the LUN table, and the build sector).
struct Le16 {
    uint8_t b[2];
    void set(uint16_t v)
    {
        b[0] = static_cast<uint8_t>(v);
        b[1] = static_cast<uint8_t>(v >> 8);
    }
    uint16_t get() const { return static_cast<uint16_t>(b[0] | (b[1] << 8)); }
};

struct Le32 {
    uint8_t b[4];
    void set(uint32_t v)
    {
        for (int i = 0; i < 4; ++i) {
            b[i] = static_cast<uint8_t>(v >> (8 * i));
        }
    }
    uint32_t get() const
    {
        return b[0] | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    }
};

struct Le64 {
    uint8_t b[8];
    void set(uint64_t v)
    {
        for (int i = 0; i < 8; ++i) {
            b[i] = static_cast<uint8_t>(v >> (8 * i));
        }
    }
    uint64_t get() const
    {
        uint64_t v = 0;
        for (int i = 7; i >= 0; --i) {
            v = (v << 8) | b[i];
        }
        return v;
    }
};

// The field of type `Field` at `p` in a raw record.
template <class Field>
auto fieldAt(const uint8_t* p)
{
    Field field;
    std::memcpy(field.b, p, sizeof field.b);
    return field.get();
}

// Stores `value` as a field of type `Field` at `p` in a raw record.
template <class Field, class Value>
void putFieldAt(uint8_t* p, Value value)
{
    Field field;
    field.set(value);
    std::memcpy(p, field.b, sizeof field.b);
}

// One flag bit of a packed byte.
inline uint8_t bitOf(uint8_t value, int bit) { return static_cast<uint8_t>((value & 1u) << bit); }
inline uint8_t bitAt(uint8_t byte, int bit) { return static_cast<uint8_t>((byte >> bit) & 1u); }
// A field of `width` bits at `shift`.
inline uint8_t bitsOf(uint32_t value, int shift, int width)
{
    return static_cast<uint8_t>((value & ((1u << width) - 1)) << shift);
}
inline uint8_t bitsAt(uint8_t byte, int shift, int width)
{
    return static_cast<uint8_t>((byte >> shift) & ((1u << width) - 1));
}

}  // namespace Tessor
