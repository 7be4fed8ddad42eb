#include "platform/pelt/DeviceImage.h"

#include "platform/orrin/ByteOrder.h"
#include "platform/pelt/Rgb565.h"

namespace Tessor::pelt {

QImage newDpfScreen()
{
    QImage screen(DPF_SCREEN_SIZE, DPF_SCREEN_SIZE, QImage::Format_RGB32);
    screen.fill(Qt::black);
    return screen;
}

QByteArray toDpfImage(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QByteArray bytes(qsizetype(rgb.width()) * rgb.height() * 2, '\0');
    auto* pixel = reinterpret_cast<Be16*>(bytes.data());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            (pixel++)->set(rgb565(qRed(line[x]), qGreen(line[x]), qBlue(line[x])));
        }
    }
    return bytes;
}

}  // namespace Tessor::pelt
