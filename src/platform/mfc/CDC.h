// Drawing on an image in memory with the pixel rules the pages' pictures
// were made with: a line leaves out its end point, a rectangle covers its
// left and top edges but not its right and bottom ones, text is placed by
// the top-left corner of its character cell, and opaque text fills its cell
// with the background colour. Shapes are drawn without smoothing, so every
// pixel is exactly one colour.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>

#include "platform/mfc/ColorRef.h"

namespace Tessor::mfc {

enum BkMode { TRANSPARENT = 1, OPAQUE = 2 };

class CDC {
public:
    // Draws on `image` (32-bit RGB), which must outlive this context.
    explicit CDC(QImage* image);
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    void SetPenColor(COLORREF colour) { m_pen = colour; }
    // A hollow brush leaves a rectangle's inside as it was.
    void SetBrushColor(COLORREF colour);
    void SetHollowBrush() { m_hollowBrush = true; }
    void SetTextColor(COLORREF colour) { m_textColour = colour; }
    void SetBkColor(COLORREF colour) { m_bkColour = colour; }
    void SetBkMode(BkMode mode) { m_bkMode = mode; }
    // The font is drawn without smoothing whatever it asks for.
    void SelectFont(const QFont& font);

    void MoveTo(int x, int y);
    // From the current position up to (x, y) with the pen, (x, y) itself
    // left out; (x, y) becomes the current position.
    void LineTo(int x, int y);
    // [left, right) x [top, bottom).
    void FillRect(int left, int top, int right, int bottom, COLORREF colour);
    // Frame with the pen, inside with the brush, within [left, right) x [top, bottom).
    void Rectangle(int left, int top, int right, int bottom);
    void TextOut(int x, int y, const QString& text);
    // Width and height of the cells `text` takes.
    QSize GetTextExtent(const QString& text) const;
    // Copies `width` x `height` pixels of `source` from (sourceX, sourceY) to (x, y).
    void BitBlt(int x, int y, int width, int height, const QImage& source, int sourceX, int sourceY);

private:
    void setPixel(int x, int y, COLORREF colour);

    QPainter m_painter;
    COLORREF m_pen = 0;
    COLORREF m_brush = 0xFFFFFF;
    bool m_hollowBrush = false;
    COLORREF m_textColour = 0;
    COLORREF m_bkColour = 0xFFFFFF;
    BkMode m_bkMode = OPAQUE;
    int m_x = 0;
    int m_y = 0;
};

}  // namespace Tessor::mfc
