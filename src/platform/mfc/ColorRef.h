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

}  // namespace Tessor::mfc
