#include "utils/BmpFile.h"

#include <cstring>

#include "platform/orrin/ByteOrder.h"
#include "platform/orrin/HostPath.h"
#include "utils/WholeFile.h"

namespace Tessor::utils {

namespace {

struct BitmapHeader {
    char type[2];
    Le32 fileSize;
    Le16 reserved1;
    Le16 reserved2;
    Le32 pixelOffset;
    Le32 headerSize;
    Le32 width;
    Le32 height;  // positive: rows bottom-up
    Le16 planes;
    Le16 bitCount;
    Le32 compression;
    Le32 imageSize;
    Le32 xResolution;
    Le32 yResolution;
    Le32 coloursUsed;
    Le32 coloursImportant;
};
static_assert(sizeof(BitmapHeader) == BMP_HEADER_SIZE);

constexpr int kBitCount = 24;

}  // namespace

QByteArray encodeBitmap24(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int rowBytes = (kBitCount * rgb.width() + 31) / 32 * 4;
    const qsizetype pixelBytes = qsizetype(rowBytes) * rgb.height();

    BitmapHeader header{};
    header.type[0] = 'B';
    header.type[1] = 'M';
    header.fileSize.set(static_cast<uint32_t>(BMP_HEADER_SIZE + pixelBytes));
    header.pixelOffset.set(BMP_HEADER_SIZE);
    header.headerSize.set(40);
    header.width.set(static_cast<uint32_t>(rgb.width()));
    header.height.set(static_cast<uint32_t>(rgb.height()));
    header.planes.set(1);
    header.bitCount.set(kBitCount);

    QByteArray bytes(BMP_HEADER_SIZE + pixelBytes, '\0');
    std::memcpy(bytes.data(), &header, sizeof header);
    char* row = bytes.data() + BMP_HEADER_SIZE;
    for (int y = rgb.height() - 1; y >= 0; --y, row += rowBytes) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            row[3 * x] = static_cast<char>(qBlue(line[x]));
            row[3 * x + 1] = static_cast<char>(qGreen(line[x]));
            row[3 * x + 2] = static_cast<char>(qRed(line[x]));
        }
    }
    return bytes;
}

int saveBitmapFile(const QImage& image, const std::string& path)
{
    return WholeFile::write(path, encodeBitmap24(image)) ? 1 : 0;
}

QImage loadBitmapFile(const std::string& path)
{
    QImage image;
    if (!image.load(QString::fromStdString(HostPath::toHost(path)), "BMP")) {
        return QImage();
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace Tessor::utils
