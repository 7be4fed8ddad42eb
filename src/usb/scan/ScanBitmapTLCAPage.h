// Triple-level cells: the A pages.
#pragma once

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb {

class ScanBitmapTLCAPage : public ScanBitmap {
public:
    ScanBitmapTLCAPage(int pagesPerBlock, std::string name);

protected:
    int myInit() override;
};

}  // namespace Tessor::usb
