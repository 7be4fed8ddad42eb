#include "page/ColorPalette.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFont>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <array>

#include "page/CColorPicker.h"
#include "platform/mfc/CDC.h"
#include "platform/mfc/ScreenPixel.h"

namespace Tessor::page {

using mfc::CDC;
using mfc::COLORREF;

namespace {

constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr int kCell = 10;

COLORREF rgb(int red, int green, int blue)
{
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) | (static_cast<COLORREF>(blue) << 16);
}

// The button that opens the full colour dialog: a 3-D frame holding three
// small squares in red, green and yellow, all shifted while pressed.
class ColorDialogButton : public QAbstractButton {
public:
    explicit ColorDialogButton(QWidget* parent) : QAbstractButton(parent) { setGeometry(167, 126, 16, 16); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QImage image(width(), height(), QImage::Format_RGB32);
        CDC dc(&image);
        const COLORREF face = ColorPalette::systemColor(QPalette::Button);
        const COLORREF shadow = ColorPalette::systemColor(QPalette::Shadow);
        const bool down = isDown();
        dc.FillRect(0, 0, width(), height(), face);
        dc.SetPenColor(down ? shadow : kWhite);
        dc.MoveTo(width() - 1, 0);
        dc.LineTo(0, 0);
        dc.LineTo(0, height());
        dc.SetPenColor(down ? kWhite : shadow);
        dc.MoveTo(1, height() - 1);
        dc.LineTo(width() - 1, height() - 1);
        dc.LineTo(width() - 1, -1);
        const int shift = down ? 1 : 0;
        const COLORREF fills[] = {rgb(255, 0, 0), rgb(0, 255, 0), rgb(255, 255, 0)};
        dc.SetPenColor(shadow);
        for (int i = 0; i < 3; ++i) {
            const int at = 3 + 2 * i + shift;
            dc.SetBrushColor(fills[i]);
            dc.Rectangle(at, at, at + 5, at + 5);
        }
        QPainter(this).drawImage(0, 0, image);
    }
};

}  // namespace

COLORREF ColorPalette::cellColor(int cell)
{
    static constexpr std::array<int, ROWS> greys = {255, 232, 209, 186, 163, 140, 117, 94, 71, 48, 23, 0};
    const int column = cell % COLUMNS;
    const int row = cell / COLUMNS;
    if (column == 0) {
        return rgb(greys[row], greys[row], greys[row]);
    }
    const int inBlock = column - 1;
    const int red = (row / 6) * 3 + inBlock / 6;
    const int green = inBlock % 6;
    const int blue = row % 6;
    return rgb(51 * red, 51 * green, 51 * blue);
}

COLORREF ColorPalette::systemColor(QPalette::ColorRole role)
{
    return mfc::toColorRef(QApplication::palette().color(role));
}

QPoint ColorPalette::placeFor(const QRect& picker, const QSize& screen)
{
    int left = picker.left();
    int top = picker.top() + picker.height() - 1;
    if (left > screen.width() - WIDTH) {
        left = screen.width() - WIDTH;
    }
    if (left < 0) {
        left = 0;
    }
    if (top > screen.height() - HEIGHT) {
        top -= HEIGHT;
    }
    return QPoint(left, top);
}

QString ColorPalette::colorText(COLORREF colour)
{
    return QString::asprintf("#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

ColorPalette::ColorPalette(CColorPicker* owner, COLORREF start)
    : QWidget(owner, Qt::Popup | Qt::WindowStaysOnTopHint),
      m_owner(owner),
      m_start(start),
      m_current(start),
      m_dialogButton(new ColorDialogButton(this))
{
    setWindowTitle("Palatte");
    setFixedSize(WIDTH, HEIGHT);
    setMouseTracking(true);
    auto* button = static_cast<ColorDialogButton*>(m_dialogButton);
    QObject::connect(button, &QAbstractButton::clicked, this, [this] {
        // Posted: the palette goes while the picker opens the dialog.
        QTimer::singleShot(0, m_owner, [owner = m_owner] { owner->openColorDialog(); });
    });
}

QImage ColorPalette::render() const
{
    QImage image(WIDTH, HEIGHT, QImage::Format_RGB32);
    CDC dc(&image);
    dc.FillRect(0, 0, WIDTH, HEIGHT, kWhite);
    for (int cell = 0; cell < COLUMNS * ROWS; ++cell) {
        const int x = kCell * (cell % COLUMNS);
        const int y = kCell * (cell / COLUMNS);
        dc.FillRect(x, y, x + kCell - 1, y + kCell - 1, cellColor(cell));
    }
    dc.SetPenColor(kBlack);
    for (int x = kCell - 1; x < COLUMNS * kCell - 1; x += kCell) {
        dc.MoveTo(x, 0);
        dc.LineTo(x, GRID_HEIGHT);
    }
    for (int y = kCell - 1; y < GRID_HEIGHT; y += kCell) {
        dc.MoveTo(0, y);
        dc.LineTo(WIDTH - 1, y);
    }
    dc.FillRect(5, 125, 41, 144, m_current);
    dc.SetHollowBrush();
    dc.Rectangle(4, 124, 42, 145);
    QFont font;
    font.setPixelSize(12);
    dc.SelectFont(font);
    dc.SetTextColor(kBlack);
    dc.SetBkColor(kWhite);
    dc.TextOut(80, 127, colorText(m_current));
    if (m_hovered >= 0) {
        const int x = kCell * (m_hovered % COLUMNS);
        const int y = kCell * (m_hovered / COLUMNS);
        dc.SetPenColor(kWhite);
        dc.Rectangle(x, y, x + kCell - 1, y + kCell - 1);
    }
    return image;
}

void ColorPalette::paintEvent(QPaintEvent*) { QPainter(this).drawImage(0, 0, render()); }

std::optional<COLORREF> ColorPalette::pixelAt(QPoint global) const
{
    const QPoint local = mapFromGlobal(global);
    if (rect().contains(local)) {
        return mfc::toColorRef(QColor(render().pixel(local)));
    }
    return mfc::screenPixelSource()->pixelAt(global);
}

void ColorPalette::onMouseMove(QPoint global)
{
    if (m_pressPoint && global == *m_pressPoint) {
        m_owner->OnSetCursor(true);
        return;
    }
    m_moved = true;
    const std::optional<COLORREF> pixel = pixelAt(global);
    const QPoint local = mapFromGlobal(global);
    bool eyedropper = true;
    if (rect().contains(local) && local.y() < GRID_HEIGHT) {
        // The line right of and under each cell, and the white strip right
        // of the grid, belong to no cell: their pixel is not a colour of it.
        const bool onEdge = local.x() % kCell == kCell - 1 || local.y() % kCell == kCell - 1 ||
                            local.x() / kCell >= COLUMNS;
        const int cell = onEdge ? -1 : (local.y() / kCell) * COLUMNS + local.x() / kCell;
        if (cell != m_hovered) {
            m_hovered = cell;
            if (cell >= 0 && pixel) {
                m_current = *pixel;
            }
        }
    } else if (rect().contains(local)) {
        m_current = m_start;
        m_hovered = -1;
        eyedropper = false;
        if (m_dialogButton->geometry().contains(local)) {
            // The button below takes the next press.
            releaseMouse();
        }
    } else if (pixel) {
        m_current = *pixel;
    }
    update();
    m_owner->OnSetCursor(eyedropper);
}

void ColorPalette::onButtonDown(QPoint global)
{
    m_pressPoint = global;
    m_moved = false;
    update();
}

void ColorPalette::onButtonUp(QPoint global)
{
    if (m_moved || (m_pressPoint && global == *m_pressPoint)) {
        choose();
    }
}

void ColorPalette::choose()
{
    m_finished = true;
    m_owner->OnLButtonUp(m_current);
}

void ColorPalette::dismiss()
{
    m_finished = true;
    hide();
}

void ColorPalette::mouseMoveEvent(QMouseEvent* event) { onMouseMove(event->globalPosition().toPoint()); }

void ColorPalette::mousePressEvent(QMouseEvent* event)
{
    // Presses outside the palette take the colour there, so the popup does
    // not close on them.
    if (event->button() == Qt::LeftButton) {
        onButtonDown(event->globalPosition().toPoint());
    }
}

void ColorPalette::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        onButtonUp(event->globalPosition().toPoint());
    }
}

void ColorPalette::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!m_finished) {
        m_finished = true;
        if (m_moved) {
            m_owner->OnLButtonUp(m_current);
        } else {
            m_owner->paletteClosed();
        }
    }
}

}  // namespace Tessor::page
