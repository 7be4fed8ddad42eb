#include "platform/mfc/CDC.h"

#include <QFontMetrics>
#include <cstdlib>

namespace Tessor::mfc {

CDC::CDC(QImage* image) : m_painter(image)
{
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, false);
    m_painter.setCompositionMode(QPainter::CompositionMode_Source);
    SelectFont(m_painter.font());
}

void CDC::SetBrushColor(COLORREF colour)
{
    m_brush = colour;
    m_hollowBrush = false;
}

void CDC::SelectFont(const QFont& font)
{
    QFont sharp(font);
    sharp.setStyleStrategy(QFont::NoAntialias);
    m_painter.setFont(sharp);
}

void CDC::MoveTo(int x, int y)
{
    m_x = x;
    m_y = y;
}

void CDC::setPixel(int x, int y, COLORREF colour) { m_painter.fillRect(x, y, 1, 1, fromColorRef(colour)); }

void CDC::LineTo(int x, int y)
{
    // Bresenham from the current position; the loop stops before the end point.
    const int dx = std::abs(x - m_x);
    const int dy = -std::abs(y - m_y);
    const int stepX = m_x < x ? 1 : -1;
    const int stepY = m_y < y ? 1 : -1;
    int error = dx + dy;
    int px = m_x;
    int py = m_y;
    while (px != x || py != y) {
        setPixel(px, py, m_pen);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            px += stepX;
        }
        if (twice <= dx) {
            error += dx;
            py += stepY;
        }
    }
    MoveTo(x, y);
}

void CDC::FillRect(int left, int top, int right, int bottom, COLORREF colour)
{
    if (right > left && bottom > top) {
        m_painter.fillRect(left, top, right - left, bottom - top, fromColorRef(colour));
    }
}

void CDC::Rectangle(int left, int top, int right, int bottom)
{
    if (right - left < 1 || bottom - top < 1) {
        return;
    }
    if (!m_hollowBrush) {
        FillRect(left + 1, top + 1, right - 1, bottom - 1, m_brush);
    }
    const QColor pen = fromColorRef(m_pen);
    m_painter.fillRect(left, top, right - left, 1, pen);
    m_painter.fillRect(left, bottom - 1, right - left, 1, pen);
    m_painter.fillRect(left, top, 1, bottom - top, pen);
    m_painter.fillRect(right - 1, top, 1, bottom - top, pen);
}

QSize CDC::GetTextExtent(const QString& text) const
{
    const QFontMetrics metrics(m_painter.font());
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

void CDC::TextOut(int x, int y, const QString& text)
{
    if (m_bkMode == OPAQUE) {
        const QSize cell = GetTextExtent(text);
        FillRect(x, y, x + cell.width(), y + cell.height(), m_bkColour);
    }
    // Glyphs blend over what is under them; the cell was filled above.
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.setPen(fromColorRef(m_textColour));
    m_painter.drawText(x, y + QFontMetrics(m_painter.font()).ascent(), text);
    m_painter.setCompositionMode(QPainter::CompositionMode_Source);
}

void CDC::BitBlt(int x, int y, int width, int height, const QImage& source, int sourceX, int sourceY)
{
    m_painter.drawImage(x, y, source, sourceX, sourceY, width, height);
}

}  // namespace Tessor::mfc
