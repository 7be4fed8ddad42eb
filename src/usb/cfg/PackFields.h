// Packing direction of a record description (see FieldTransfer.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/orrin/ByteOrder.h"

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

}  // namespace Tessor::usb
