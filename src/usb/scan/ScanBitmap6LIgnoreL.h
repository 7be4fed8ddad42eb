// Skips the first six pages and the pairs 4k, 4k+1 after them.
#pragma once

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb {

class ScanBitmap6LIgnoreL : public ScanBitmap {
public:
    ScanBitmap6LIgnoreL(int pagesPerBlock, std::string name);

protected:
    int myInit() override;
};

}  // namespace Tessor::usb
