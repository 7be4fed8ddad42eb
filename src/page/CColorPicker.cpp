#include "page/CColorPicker.h"

#include <QApplication>
#include <QBitmap>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "page/ColorPalette.h"
#include "platform/mfc/CDC.h"
#include "platform/mfc/ColorDialog.h"

namespace Tessor::page {

using mfc::CDC;
using mfc::COLORREF;

namespace {

// The eyedropper's masks, two bytes a row, leftmost pixel in the top bit.
constexpr unsigned short kAndMask[16] = {0xFFF1, 0xFFE0, 0xFFC0, 0xFF00, 0xFF81, 0xFF03, 0xFE07, 0xFC17,
                                         0xF83F, 0xF07F, 0xE0FF, 0xC1FF, 0x83FF, 0x87FF, 0x0FFF, 0x3FFF};
constexpr unsigned short kXorMask[16] = {0x0000, 0x000C, 0x0008, 0x0010, 0x0000, 0x0040, 0x00E0, 0x01C0,
                                         0x0380, 0x0700, 0x0E00, 0x1C00, 0x3800, 0x3000, 0x4000, 0x0000};

}  // namespace

CColorPicker::CColorPicker(QWidget* parent) : QWidget(parent), m_color(ColorPalette::systemColor(QPalette::Button)) {}

CColorPicker::~CColorPicker() { closePalette(); }

QCursor CColorPicker::eyedropperCursor()
{
    // The size of the system's cursors; the drawing takes its top-left 16 x 16.
    constexpr int size = 32;
    // AND 1 / XOR 0 leaves the screen, AND 0 paints: black with XOR 0,
    // white with XOR 1.
    QImage pixels(size, size, QImage::Format_Mono);
    QImage mask(size, size, QImage::Format_Mono);
    pixels.fill(0);
    mask.fill(0);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool andBit = (kAndMask[y] >> (15 - x)) & 1;
            const bool xorBit = (kXorMask[y] >> (15 - x)) & 1;
            pixels.setPixel(x, y, !andBit && !xorBit ? 1 : 0);
            mask.setPixel(x, y, !andBit || xorBit ? 1 : 0);
        }
    }
    return QCursor(QBitmap::fromImage(pixels), QBitmap::fromImage(mask), 0, 15);
}

void CColorPicker::SetColor(COLORREF colour)
{
    m_color = colour;
    if (onCommand) {
        QTimer::singleShot(0, this, [this] {
            if (onCommand) {
                onCommand();
            }
        });
    }
    const QString text = ColorPalette::colorText(colour);
    if (auto* edit = qobject_cast<QLineEdit*>(buddy)) {
        edit->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(buddy)) {
        label->setText(text);
    }
    update();
}

void CColorPicker::paintEvent(QPaintEvent*)
{
    QImage image(width(), height(), QImage::Format_RGB32);
    CDC dc(&image);
    const COLORREF face = ColorPalette::systemColor(QPalette::Button);
    const COLORREF shadow = ColorPalette::systemColor(QPalette::Shadow);
    int left = 0;
    int top = 0;
    int right = width();
    int bottom = height();
    dc.FillRect(left, top, right, bottom, face);
    if (!m_paletteOpen) {
        dc.SetPenColor(0xFFFFFF);
        dc.MoveTo(right - 1, top);
        dc.LineTo(left, top);
        dc.LineTo(left, bottom);
        dc.SetPenColor(shadow);
        dc.MoveTo(left + 1, bottom - 1);
        dc.LineTo(right - 1, bottom - 1);
        dc.LineTo(right - 1, top - 1);
    }
    left += 3;
    top += 3;
    right -= 3;
    bottom -= 3;
    dc.FillRect(left, top, right, bottom, m_color);
    --left;
    --top;
    dc.SetPenColor(shadow);
    dc.MoveTo(right - 1, top);
    dc.LineTo(left, top);
    dc.LineTo(left, bottom);
    dc.SetPenColor(0xFFFFFF);
    dc.LineTo(right - 6, bottom);
    dc.LineTo(right - 6, bottom - 4);
    dc.LineTo(right, bottom - 4);
    dc.MoveTo(right, top);
    dc.LineTo(right, bottom - 3);
    // The drop-down mark in its notch.
    const int notchLeft = right - 5;
    const int notchTop = bottom - 3;
    const int notchRight = right + 1;
    dc.FillRect(notchLeft, notchTop, notchRight, bottom + 1, face);
    dc.SetPenColor(0x000000);
    for (int i = 1; i <= 3; ++i) {
        dc.MoveTo(notchLeft + i, notchTop + i);
        dc.LineTo(notchRight - (i - 1), notchTop + i);
    }
    QPainter(this).drawImage(0, 0, image);
}

void CColorPicker::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        showPalette();
    }
}

void CColorPicker::showPalette()
{
    if (m_paletteOpen) {
        return;
    }
    m_palette = new ColorPalette(this, m_color);
    const QScreen* screen = this->screen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    m_palette->move(ColorPalette::placeFor(QRect(mapToGlobal(QPoint(0, 0)), size()), screenSize));
    m_palette->setCursor(eyedropperCursor());
    m_palette->show();
    m_paletteOpen = true;
    update();
}

void CColorPicker::closePalette()
{
    if (m_palette) {
        m_palette->dismiss();
        m_palette->deleteLater();
        m_palette = nullptr;
    }
    m_paletteOpen = false;
}

void CColorPicker::OnLButtonUp(COLORREF chosen)
{
    closePalette();
    if (chosen == m_color) {
        update();
    } else {
        SetColor(chosen);
    }
}

void CColorPicker::paletteClosed()
{
    closePalette();
    update();
}

void CColorPicker::openColorDialog()
{
    closePalette();
    update();
    if (const std::optional<COLORREF> chosen = mfc::colorDialogService()->chooseColor(0)) {
        SetColor(*chosen);
    }
}

void CColorPicker::OnSetCursor(bool eyedropper)
{
    if (m_palette) {
        m_palette->setCursor(eyedropper ? eyedropperCursor() : QCursor(Qt::ArrowCursor));
    }
}

}  // namespace Tessor::page
