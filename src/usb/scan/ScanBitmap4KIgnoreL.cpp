#include "usb/scan/ScanBitmap4KIgnoreL.h"

namespace Tessor::usb {

ScanBitmap4KIgnoreL::ScanBitmap4KIgnoreL(int pagesPerBlock, std::string name)
    : ScanBitmap(pagesPerBlock, SCAN_PAGE_4K_IGNORE_L, std::move(name))
{
    ScanBitmap4KIgnoreL::myInit();
}

int ScanBitmap4KIgnoreL::myInit()
{
    const int pages = getPagesPerBlock();
    unmarkRange(0, 3);
    for (int k = 1; 4 * k + 2 < pages - 4; ++k) {
        unmarkRange(4 * k + 2, 4 * k + 3);
    }
    return 0;
}

}  // namespace Tessor::usb
