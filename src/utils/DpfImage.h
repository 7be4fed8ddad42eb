// The photo frame's picture files (".img", see pelt/DeviceImage.h) the tool
// makes of its own bitmaps.
#pragma once

#include <QByteArray>
#include <QImage>
#include <string>

namespace Tessor::utils {

// "KNUM.img": twelve glyph records of 512 bytes, then 2048 zero bytes.
constexpr int KNUM_GLYPHS = 12;
constexpr int KNUM_RECORD_SIZE = 512;
constexpr int KNUM_FILE_SIZE = KNUM_GLYPHS * KNUM_RECORD_SIZE + 2048;

// Paths in the system's form. 1 when the ".img" was written whole; 0 when
// the bitmap cannot be read or the ".img" cannot be written, and then any
// earlier ".img" stays as it was.
[[nodiscard]] int convertBmpToImg(const std::string& imgPath, const std::string& bmpPath);
// Packs the glyph bitmaps "menu0.bmp" to "menu11.bmp" of the resource folder
// into "KNUM.img" of the key-number folder, both under `workDir`. 0, and the
// earlier "KNUM.img" kept, when a glyph cannot be read, does not fit its
// record, or the file cannot be written.
[[nodiscard]] int buildKnumImg(const std::string& workDir);

}  // namespace Tessor::utils
