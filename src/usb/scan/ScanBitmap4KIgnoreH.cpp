#include "usb/scan/ScanBitmap4KIgnoreH.h"

namespace Tessor::usb {

ScanBitmap4KIgnoreH::ScanBitmap4KIgnoreH(int pagesPerBlock, std::string name)
    : ScanBitmap(pagesPerBlock, SCAN_PAGE_4K_IGNORE_H, std::move(name))
{
    ScanBitmap4KIgnoreH::myInit();
}

int ScanBitmap4KIgnoreH::myInit()
{
    const int pages = getPagesPerBlock();
    for (int k = 1; 4 * k < pages - 6; ++k) {
        unmarkRange(4 * k, 4 * k + 1);
    }
    unmarkRange(pages - 4, pages - 1);
    return 0;
}

}  // namespace Tessor::usb
