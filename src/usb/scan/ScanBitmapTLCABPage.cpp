#include "usb/scan/ScanBitmapTLCABPage.h"

namespace Tessor::usb {

ScanBitmapTLCABPage::ScanBitmapTLCABPage(int pagesPerBlock, std::string name)
    : ScanBitmap(pagesPerBlock, SCAN_PAGE_TLC_AB, std::move(name))
{
    ScanBitmapTLCABPage::myInit();
}

int ScanBitmapTLCABPage::myInit()
{
    const int pages = getPagesPerBlock();
    keepOnly([pages](int page) {
        if (pages == 128) {
            return page < 94 && !(page >= 6 && (page - 6) % 3 == 0);
        }
        return page < 192 && !(page >= 4 && page <= 190 && (page - 4) % 3 == 0);
    });
    return 0;
}

}  // namespace Tessor::usb
