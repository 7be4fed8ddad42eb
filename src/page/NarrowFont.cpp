#include "page/NarrowFont.h"

#include <QFontMetrics>

namespace Tessor::page {

namespace {

constexpr int MIN_STRETCH = 40;

}  // namespace

QFont narrowToFit(const QFont& font, const QString& text, int width)
{
    QFont narrow = font;
    const int natural = QFontMetrics(font).horizontalAdvance(text);
    if (natural <= width || width <= 0) {
        return narrow;
    }
    for (int stretch = width * 100 / natural; stretch >= MIN_STRETCH; --stretch) {
        narrow.setStretch(stretch);
        if (QFontMetrics(narrow).horizontalAdvance(text) <= width) {
            break;
        }
    }
    return narrow;
}

}  // namespace Tessor::page
