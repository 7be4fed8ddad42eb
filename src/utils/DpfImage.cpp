#include "utils/DpfImage.h"

#include <cstring>

#include "platform/orrin/PlatformLog.h"
#include "utils/BmpFile.h"
#include "utils/DpfDefaultFolders.h"
#include "platform/pelt/DeviceImage.h"
#include "utils/WholeFile.h"

namespace Tessor::utils {

int convertBmpToImg(const std::string& imgPath, const std::string& bmpPath)
{
    const QImage bitmap = loadBitmapFile(bmpPath);
    if (bitmap.isNull()) {
        PLATFORM_LOG(3, "cannot read the bitmap %s\n", bmpPath.c_str());
        return 0;
    }
    return WholeFile::write(imgPath, pelt::toDpfImage(bitmap)) ? 1 : 0;
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
        const QByteArray pixels = pelt::toDpfImage(glyph);
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
