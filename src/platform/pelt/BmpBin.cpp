#include "platform/pelt/BmpBin.h"

#include <QImageReader>
#include <QPainter>

#include "platform/orrin/PlatformLog.h"
#include "platform/pelt/DeviceImage.h"
#include "platform/orrin/HostPath.h"
#include "platform/ini/RegularFile.h"

namespace Tessor::pelt {

namespace {

QImage readPicture(const std::string& source)
{
    const QString path = QString::fromStdString(HostPath::toHost(source));
    QImageReader reader(path);
    const QString suffix = path.section('.', -1).toLower();
    // Run-length and device-independent bitmaps are bitmap files.
    if (suffix == "rle" || suffix == "dib") {
        reader.setFormat("bmp");
    }
    QImage image = reader.read();
    if (image.isNull()) {
        PLATFORM_LOG(3, "cannot read the picture %s : %s\n", source.c_str(), reader.errorString().toUtf8().constData());
    }
    return image;
}

}  // namespace

QImage CBmpBin::fitToScreen(const QImage& picture)
{
    QImage screen = newDpfScreen();
    const QImage scaled =
        picture.size() == screen.size()
            ? picture
            : picture.scaled(screen.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&screen);
    painter.drawImage((screen.width() - scaled.width()) / 2, (screen.height() - scaled.height()) / 2,
                      scaled.convertToFormat(QImage::Format_RGB32));
    return screen;
}

int CBmpBin::HBMP2UsbData565(const std::string& source, ConversionRecord* record, const std::string& target,
                             int mode)
{
    if (mode != 1) {
        return 0;
    }
    const QImage picture = readPicture(source);
    if (picture.isNull()) {
        return 0;
    }
    const QByteArray bytes = toDpfImage(fitToScreen(picture));
    if (record != nullptr) {
        record->sourceWidth = picture.width();
        record->sourceHeight = picture.height();
        record->targetBytes = int(bytes.size());
    }
    std::string reason;
    if (!IO::replaceFile(HostPath::toHost(target), bytes.constData(), size_t(bytes.size()), nullptr, reason)) {
        PLATFORM_LOG(3, "writing %s failed : %s\n", target.c_str(), reason.c_str());
        return 0;
    }
    return 1;
}

}  // namespace Tessor::pelt
