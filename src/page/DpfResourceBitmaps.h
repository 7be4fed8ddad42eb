// The pictures the control and position pages draw their previews with,
// made by the program: strips of equal cells stacked from the top. Their
// cell sizes set how far the previews let the positions go.
#pragma once

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSize>

namespace Tessor::page {

class DpfResourceBitmaps {
public:
    // 167: five status icons; cell 1 the battery, cell 4 the alarm bell.
    static constexpr int ICON_CELLS = 5;
    static constexpr QSize ICON_CELL{16, 16};
    // 168: the calendar's 32 year-month cells (12 months, 20 years from 2000).
    static constexpr int CALENDAR_CELLS = 32;
    static constexpr QSize CALENDAR_CELL{11, 16};
    // 169: large digits "0".."9" and ":".
    static constexpr int LARGE_CELLS = 11;
    static constexpr QSize LARGE_CELL{16, 32};
    // 170: small digits "0".."9" and "/", drawn in the top 16 rows of their cells.
    static constexpr int SMALL_CELLS = 12;
    static constexpr QSize SMALL_CELL{8, 32};

    static const QImage& icons();
    static const QImage& calendar();
    static const QImage& largeDigits();
    static const QImage& smallDigits();
    // Cell `index` of `strip` with cells `cell` high, less its bottom `cut` rows.
    static QImage cell(const QImage& strip, QSize cell, int index, int cut = 0);
    // `text` in the cells of `strip` from (x, y), one cell a character:
    // digits and the strip's separator (its cell 10); other characters only
    // advance. Cells lose their bottom `cut` rows.
    static void drawCells(QPainter& painter, int x, int y, const QString& text, const QImage& strip, QSize cell,
                          QChar separator, int cut = 0);
    // A preview's frame screen: white, outlined.
    static QImage frameScreen();
};

}  // namespace Tessor::page
