// Colours as the pages store them: 0x00BBGGRR.
#pragma once

#include <QColor>
#include <cstdint>

namespace Tessor::mfc {

using COLORREF = uint32_t;

inline QColor fromColorRef(COLORREF value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

inline COLORREF toColorRef(const QColor& colour)
{
    return static_cast<COLORREF>(colour.red()) | (static_cast<COLORREF>(colour.green()) << 8) |
           (static_cast<COLORREF>(colour.blue()) << 16);
}

}  // namespace Tessor::mfc
