// Moves fields between a value struct and its packed record in either
// direction, so one description of a layout serves both writing and reading.
// A description is a function template over the direction: it names each
// record field with its value field once, as `io.field(record, value)` or
// `io.bits(byte, value, shift, width)`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "usb/cfg/ByteOrder.h"

namespace Tessor::usb {

// Value struct to record. Flag bytes start clear and gather their bits.
struct PackFields {
    static constexpr bool packs = true;

    template <class V>
    void field(uint8_t& r, const V& v) const
    {
        r = static_cast<uint8_t>(v);
    }
    template <class R, class V>
    void field(R& r, const V& v) const
    {
        r.set(static_cast<decltype(r.get())>(v));
    }
    template <class R, class V, size_t N>
    void field(R (&r)[N], const V (&v)[N]) const
    {
        for (size_t i = 0; i < N; ++i) {
            field(r[i], v[i]);
        }
    }
    template <class V>
    void bits(uint8_t& byte, const V& v, int shift, int width = 1) const
    {
        byte |= bitsOf(static_cast<uint32_t>(v), shift, width);
    }
    // Bits a read does not take back.
    template <class V>
    void writeOnlyBits(uint8_t& byte, const V& v, int shift, int width = 1) const
    {
        bits(byte, v, shift, width);
    }
    // Bits a write leaves clear.
    template <class V>
    void readOnlyBits(uint8_t& /*byte*/, const V& /*v*/, int /*shift*/, int /*width*/ = 1) const
    {
    }
    // A flag byte a write gathers over what it holds, keeping only the `keep` bits.
    void keepOnWrite(uint8_t& byte, uint8_t keep) const { byte &= keep; }
    // A record field a write fills with a constant.
    template <class R, class V>
    void writesAs(R& r, const V& constant) const
    {
        field(r, constant);
    }
    // A value field a read sets, whatever the record holds.
    template <class V, class W>
    void readsAs(const V& /*v*/, const W& /*value*/) const
    {
    }
};

// Record to value struct.
struct UnpackFields {
    static constexpr bool packs = false;

    template <class V>
    void field(const uint8_t& r, V& v) const
    {
        v = static_cast<V>(r);
    }
    template <class R, class V>
    void field(const R& r, V& v) const
    {
        v = static_cast<V>(r.get());
    }
    template <class R, class V, size_t N>
    void field(const R (&r)[N], V (&v)[N]) const
    {
        for (size_t i = 0; i < N; ++i) {
            field(r[i], v[i]);
        }
    }
    template <class V>
    void bits(const uint8_t& byte, V& v, int shift, int width = 1) const
    {
        v = static_cast<V>(bitsAt(byte, shift, width));
    }
    template <class V>
    void writeOnlyBits(const uint8_t& /*byte*/, V& /*v*/, int /*shift*/, int /*width*/ = 1) const
    {
    }
    template <class V>
    void readOnlyBits(const uint8_t& byte, V& v, int shift, int width = 1) const
    {
        bits(byte, v, shift, width);
    }
    void keepOnWrite(const uint8_t& /*byte*/, uint8_t /*keep*/) const {}
    template <class R, class V>
    void writesAs(const R& /*r*/, const V& /*constant*/) const
    {
    }
    template <class V, class W>
    void readsAs(V& v, const W& value) const
    {
        v = static_cast<V>(value);
    }
};

// Runs `describe(record)` over a Record that is then packed into `place`, or
// that was unpacked from it first; returns the length moved.
template <class Record, class Io, class Place, class Describe>
int transferRecord(const Io& /*direction*/, Place* place, Describe describe, int length = sizeof(Record))
{
    Record r{};
    if constexpr (!Io::packs) {
        std::memcpy(&r, place, length);
    }
    describe(r);
    if constexpr (Io::packs) {
        std::memcpy(place, &r, length);
    }
    return length;
}

}  // namespace Tessor::usb
