// Scans the first half of the block.
#pragma once

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb {

class ScanBitmap4KQIgnoreL : public ScanBitmap {
public:
    ScanBitmap4KQIgnoreL(int pagesPerBlock, std::string name);

protected:
    int myInit() override;
};

}  // namespace Tessor::usb
