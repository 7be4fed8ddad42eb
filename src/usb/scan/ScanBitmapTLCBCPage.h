// Triple-level cells: the B and C pages.
#pragma once

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb {

class ScanBitmapTLCBCPage : public ScanBitmap {
public:
    ScanBitmapTLCBCPage(int pagesPerBlock, std::string name);

protected:
    int myInit() override;
};

}  // namespace Tessor::usb
