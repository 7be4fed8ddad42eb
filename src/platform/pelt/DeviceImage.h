// The photo frame's picture data (".img"): 16-bit pixels, high byte first,
// rows from the top, no header and no padding; the reader knows the size
// from the file's role. Screens are 128 x 128 and are drawn in memory, never
// taken from what the window shows.
#pragma once

#include <QByteArray>
#include <QImage>

namespace Tessor::pelt {

constexpr int DPF_SCREEN_SIZE = 128;

// A blank 128 x 128 screen to draw on (black).
QImage newDpfScreen();
// The ".img" bytes of `image`: width x height x 2.
QByteArray toDpfImage(const QImage& image);

}  // namespace Tessor::pelt
