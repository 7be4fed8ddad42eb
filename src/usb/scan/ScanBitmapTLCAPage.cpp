#include "usb/scan/ScanBitmapTLCAPage.h"

namespace Tessor::usb {

ScanBitmapTLCAPage::ScanBitmapTLCAPage(int pagesPerBlock, std::string name)
    : ScanBitmap(pagesPerBlock, SCAN_PAGE_TLC_A, std::move(name))
{
    ScanBitmapTLCAPage::myInit();
}

int ScanBitmapTLCAPage::myInit()
{
    const int pages = getPagesPerBlock();
    keepOnly([pages](int page) {
        if (pages == 128) {
            return page <= 1 || (page >= 4 && page <= 91 && (page - 4) % 3 == 0);
        }
        return page == 0 || (page >= 2 && page <= 188 && (page - 2) % 3 == 0);
    });
    return 0;
}

}  // namespace Tessor::usb
