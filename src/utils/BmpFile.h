// Windows bitmap files of 24 bits per pixel: a 54-byte header, then the rows
// from the bottom up, each pixel blue, green, red, each row padded with
// zeros to a multiple of 4 bytes.
#pragma once

#include <QByteArray>
#include <QImage>
#include <string>

namespace Tessor::utils {

constexpr int BMP_HEADER_SIZE = 54;

// The file's bytes for `image`.
QByteArray encodeBitmap24(const QImage& image);
// 1 when the file was written whole, else 0 (an earlier file stays).
[[nodiscard]] int saveBitmapFile(const QImage& image, const std::string& path);
// A bitmap file of any depth as 32-bit RGB; null when it cannot be read.
[[nodiscard]] QImage loadBitmapFile(const std::string& path);

}  // namespace Tessor::utils
