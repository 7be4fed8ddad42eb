#include "utils/DpfImage.h"

#include <cstring>

#include "platform/orrin/ByteOrder.h"
#include "platform/orrin/PlatformLog.h"
#include "utils/BmpFile.h"
#include "utils/DpfDefaultFolders.h"
#include "utils/Rgb565.h"
#include "utils/WholeFile.h"

namespace Tessor::utils {

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

int convertBmpToImg(const std::string& imgPath, const std::string& bmpPath)
{
    const QImage bitmap = loadBitmapFile(bmpPath);
    if (bitmap.isNull()) {
        PLATFORM_LOG(3, "cannot read the bitmap %s\n", bmpPath.c_str());
        return 0;
    }
    return WholeFile::write(imgPath, toDpfImage(bitmap)) ? 1 : 0;
}

namespace {

std::string underWorkDir(const std::string& workDir, const std::string& relative)
{
    return workDir.empty() ? relative : workDir + "\\" + relative;
}

}  // namespace

int buildKnumImg(const std::string& workDir)
{
    QByteArray file(KNUM_FILE_SIZE, '\0');
    for (int i = 0; i < KNUM_GLYPHS; ++i) {
        const std::string glyphPath =
            underWorkDir(workDir, ResFolder + ("menu" + std::to_string(i)) + ".bmp");
        const QImage glyph = loadBitmapFile(glyphPath);
        if (glyph.isNull()) {
            PLATFORM_LOG(3, "cannot read the glyph %s\n", glyphPath.c_str());
            return 0;
        }
        const QByteArray pixels = toDpfImage(glyph);
        if (pixels.size() > KNUM_RECORD_SIZE) {
            PLATFORM_LOG(3, "the glyph %s of %dx%d does not fit its record\n", glyphPath.c_str(), glyph.width(),
                  glyph.height());
            return 0;
        }
        std::memcpy(file.data() + i * KNUM_RECORD_SIZE, pixels.constData(), size_t(pixels.size()));
    }
    return WholeFile::write(underWorkDir(workDir, WeekNumFolder + std::string("KNUM.img")), file) ? 1 : 0;
}

}  // namespace Tessor::utils
