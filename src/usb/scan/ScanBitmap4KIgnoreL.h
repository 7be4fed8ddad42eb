// Skips the first four pages and the pairs 4k+2, 4k+3 before the last four pages.
#pragma once

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb {

class ScanBitmap4KIgnoreL : public ScanBitmap {
public:
    ScanBitmap4KIgnoreL(int pagesPerBlock, std::string name);

protected:
    int myInit() override;
};

}  // namespace Tessor::usb
