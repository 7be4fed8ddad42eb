// Scans the second half of the block.
#pragma once

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb {

class ScanBitmap4KQIgnoreH : public ScanBitmap {
public:
    ScanBitmap4KQIgnoreH(int pagesPerBlock, std::string name);

protected:
    int myInit() override;
};

}  // namespace Tessor::usb
