// Scans the first page of the block only.
#pragma once

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb {

class ScanBitmapFront2 : public ScanBitmap {
public:
    ScanBitmapFront2(int pagesPerBlock, std::string name);

protected:
    int myInit() override;
};

}  // namespace Tessor::usb
