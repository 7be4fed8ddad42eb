// Skips the pairs 4k, 4k+1 after the first four pages and the last four pages.
#pragma once

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb {

class ScanBitmap4KIgnoreH : public ScanBitmap {
public:
    ScanBitmap4KIgnoreH(int pagesPerBlock, std::string name);

protected:
    int myInit() override;
};

}  // namespace Tessor::usb
