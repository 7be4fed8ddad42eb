// Triple-level cells: the A and B pages.
#pragma once

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb {

class ScanBitmapTLCABPage : public ScanBitmap {
public:
    ScanBitmapTLCABPage(int pagesPerBlock, std::string name);

protected:
    int myInit() override;
};

}  // namespace Tessor::usb
