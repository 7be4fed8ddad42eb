// Triple-level cells: every page that the part really has.
#pragma once

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb {

class ScanBitmapTLCAllPage : public ScanBitmap {
public:
    ScanBitmapTLCAllPage(int pagesPerBlock, std::string name);

protected:
    int myInit() override;
};

}  // namespace Tessor::usb
