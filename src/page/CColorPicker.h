// A small colour button: a swatch of its colour with a drop-down mark. A
// click opens the colour palette under it; the colour chosen there (or in
// the full colour dialog the palette offers) becomes the picker's colour,
// is written as "#RRGGBB" into an optional buddy control and reported to the
// owner. Colours are 0x00BBGGRR. UI thread only.
#pragma once

#include <QCursor>
#include <QWidget>
#include <functional>

#include "platform/mfc/ColorRef.h"

namespace Tessor::page {

class ColorPalette;

class CColorPicker : public QWidget {
public:
    explicit CColorPicker(QWidget* parent = nullptr);
    ~CColorPicker() override;

    // Stores the colour, reports it to the owner (posted, as a command of
    // the picker), writes its text into the buddy and repaints.
    void SetColor(mfc::COLORREF colour);
    mfc::COLORREF GetColor() const { return m_color; }

    // A line edit or label that shows the colour's text; none when null.
    QWidget* buddy = nullptr;
    // Runs, posted, after every SetColor.
    std::function<void()> onCommand;

    // Opens the palette (the left button pressed on the picker).
    void showPalette();
    bool isPaletteOpen() const { return m_paletteOpen; }
    ColorPalette* palette() const { return m_palette; }

    // From the palette: the colour chosen, or closed without a choice.
    void OnLButtonUp(mfc::COLORREF chosen);
    void paletteClosed();
    // From the palette's button: the full colour dialog instead.
    void openColorDialog();
    // From the palette: the eyedropper or the arrow.
    void OnSetCursor(bool eyedropper);

    // The eyedropper, its tip (the hot spot) at the lower left.
    static QCursor eyedropperCursor();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void closePalette();

    mfc::COLORREF m_color;
    ColorPalette* m_palette = nullptr;
    bool m_paletteOpen = false;
};

}  // namespace Tessor::page
