// Skips the pairs 4k+2, 4k+3 after the first six pages.
#pragma once

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb {

class ScanBitmap6LIgnoreH : public ScanBitmap {
public:
    ScanBitmap6LIgnoreH(int pagesPerBlock, std::string name);

protected:
    int myInit() override;
};

}  // namespace Tessor::usb
