// Moves fields between a value struct and its packed record in either
// direction, so one description of a layout serves both writing and reading.
// A description is a function template over the direction: it names each
// record field with its value field once, as `io.field(record, value)` or
// `io.bits(byte, value, shift, width)`.
#pragma once

#include <cstring>

#include "usb/cfg/PackFields.h"
#include "usb/cfg/UnpackFields.h"

namespace Tessor::usb {

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
