// The picture library's conversion of a picture file (BMP, RLE and DIB
// bitmaps, JPEG, GIF, PNG, TIFF, ICO) into the photo frame's 128 x 128
// device picture: 16-bit RGB565 pixels, high byte first, rows from the top.
//
// The picture is scaled to fit the screen keeping its proportions (smooth
// scaling), centred, the rest of the screen black; a picture of 128 x 128
// is taken as it is.
#pragma once

#include <QImage>
#include <string>

namespace Tessor::pelt {

// What a conversion read and wrote.
struct ConversionRecord {
    int sourceWidth = 0;
    int sourceHeight = 0;
    int targetBytes = 0;
};

class CBmpBin {
public:
    // Paths in the system's form (see HostPath). `mode` 1 writes the device
    // picture; no other mode is known. 1 when the target was written whole;
    // 0 when the source cannot be read (a format without a reader, WMF and
    // EMF among them) or the target cannot be written, and then no target
    // is left behind.
    static int HBMP2UsbData565(const std::string& source, ConversionRecord* record, const std::string& target,
                               int mode);
    // The screen a picture becomes.
    static QImage fitToScreen(const QImage& picture);
};

}  // namespace Tessor::pelt
