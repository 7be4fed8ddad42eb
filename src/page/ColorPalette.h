// The colour picker's popup: 228 colours in a grid, a preview of the colour
// under the pointer with its "#RRGGBB" text, and a button that opens the
// full colour dialog. While it is open the pointer is an eyedropper that also
// takes the colour of a pixel outside the palette. The palette reports to
// its picker; one is open at a time.
#pragma once

#include <QImage>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <optional>

#include "platform/mfc/ColorRef.h"

namespace Tessor::page {

class CColorPicker;

class ColorPalette : public QWidget {
public:
    static constexpr int WIDTH = 191;
    static constexpr int HEIGHT = 150;
    static constexpr int COLUMNS = 19;
    static constexpr int ROWS = 12;
    static constexpr int GRID_HEIGHT = 120;
    static constexpr int IDC_COLOR_DIALOG = 100;

    // Column 0 greys from white down; then the 216 colours of six levels per
    // channel, blue fastest down a column, then green, then red.
    static mfc::COLORREF cellColor(int cell);
    // Where the palette of a picker covering `picker` (screen coordinates)
    // opens on a screen of `screen`: under the picker, kept on the screen.
    static QPoint placeFor(const QRect& picker, const QSize& screen);
    // "#" and the red, green and blue of `colour` in upper-case hexadecimal.
    static QString colorText(mfc::COLORREF colour);
    // A colour of the application's palette (button face, dark shadow).
    static mfc::COLORREF systemColor(QPalette::ColorRole role);

    ColorPalette(CColorPicker* owner, mfc::COLORREF start);

    // The pointer's moves and the left button, in screen coordinates.
    void onMouseMove(QPoint global);
    void onButtonDown(QPoint global);
    void onButtonUp(QPoint global);

    // Closes the palette without telling the picker.
    void dismiss();

    mfc::COLORREF currentColor() const { return m_current; }
    int hoveredCell() const { return m_hovered; }
    QWidget* colorDialogButton() const { return m_dialogButton; }
    // The palette as it is drawn.
    QImage render() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Closed by losing the activation rather than by a choice.
    void hideEvent(QHideEvent* event) override;

private:
    // The pixel at the screen point: the palette's own drawing inside it,
    // the eyedropper service outside.
    std::optional<mfc::COLORREF> pixelAt(QPoint global) const;
    void choose();

    CColorPicker* m_owner;
    mfc::COLORREF m_start;
    mfc::COLORREF m_current;
    std::optional<QPoint> m_pressPoint;
    bool m_moved = false;
    int m_hovered = -1;
    bool m_finished = false;
    QWidget* m_dialogButton;
};

}  // namespace Tessor::page
