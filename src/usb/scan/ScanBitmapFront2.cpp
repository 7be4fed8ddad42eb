#include "usb/scan/ScanBitmapFront2.h"

namespace Tessor::usb {

ScanBitmapFront2::ScanBitmapFront2(int pagesPerBlock, std::string name)
    : ScanBitmap(pagesPerBlock, SCAN_PAGE_FRONT2, std::move(name))
{
    ScanBitmapFront2::myInit();
}

int ScanBitmapFront2::myInit()
{
    unmarkRange(1, getPagesPerBlock() - 1);
    return 0;
}

}  // namespace Tessor::usb
