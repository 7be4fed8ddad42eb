// Triple-level cells: the B pages. In a block of 128 pages they are the
// pages of the A-and-B pattern that the A pattern leaves out.
#pragma once

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb {

class ScanBitmapTLCBPage : public ScanBitmap {
public:
    ScanBitmapTLCBPage(int pagesPerBlock, std::string name);

protected:
    int myInit() override;
};

}  // namespace Tessor::usb
