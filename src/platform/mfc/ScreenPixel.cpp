#include "platform/mfc/ScreenPixel.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>

#include "platform/mfc/ColorRef.h"
#include "platform/mfc/ServiceSlot.h"

namespace Tessor::mfc {

namespace {

ServiceSlot<ScreenPixelSource, ApplicationPixels> g_slot;

}  // namespace

std::optional<COLORREF> ApplicationPixels::pixelAt(QPoint global)
{
    QWidget* widget = QApplication::widgetAt(global);
    if (widget == nullptr) {
        return std::nullopt;
    }
    const QPoint local = widget->mapFromGlobal(global);
    const QImage image = widget->grab(QRect(local, QSize(1, 1))).toImage();
    if (image.isNull()) {
        return std::nullopt;
    }
    return toColorRef(image.pixelColor(0, 0));
}

void setScreenPixelSource(std::shared_ptr<ScreenPixelSource> source) { g_slot.set(std::move(source)); }

std::shared_ptr<ScreenPixelSource> screenPixelSource() { return g_slot.get(); }

}  // namespace Tessor::mfc
