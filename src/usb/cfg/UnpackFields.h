// Unpacking direction of a record description (see FieldTransfer.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/orrin/ByteOrder.h"

namespace Tessor::usb {

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

}  // namespace Tessor::usb
