// The photo frame's 16-bit colour: 5 bits red, 6 green, 5 blue, each 8-bit
// channel cut to its top bits (no rounding, no dithering).
#pragma once

#include <cstdint>

namespace Tessor::pelt {

constexpr uint16_t rgb565(int red, int green, int blue)
{
    return static_cast<uint16_t>(((red & 0xF8) << 8) | ((green & 0xFC) << 3) | ((blue & 0xFF) >> 3));
}

// From a colour stored as 0x00RRGGBB.
constexpr uint16_t rgb565(uint32_t rrggbb)
{
    return rgb565(static_cast<int>((rrggbb >> 16) & 0xFF), static_cast<int>((rrggbb >> 8) & 0xFF),
                  static_cast<int>(rrggbb & 0xFF));
}

}  // namespace Tessor::pelt
