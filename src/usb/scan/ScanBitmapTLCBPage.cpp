#include "usb/scan/ScanBitmapTLCBPage.h"

namespace Tessor::usb {

ScanBitmapTLCBPage::ScanBitmapTLCBPage(int pagesPerBlock, std::string name)
    : ScanBitmap(pagesPerBlock, SCAN_PAGE_TLC_B, std::move(name))
{
    ScanBitmapTLCBPage::myInit();
}

int ScanBitmapTLCBPage::myInit()
{
    const int pages = getPagesPerBlock();
    keepOnly([pages](int page) {
        if (pages == 128) {
            return page == 2 || page == 3 || (page >= 5 && page <= 92 && (page - 5) % 3 == 0);
        }
        return page == 1 || (page >= 3 && page <= 189 && page % 3 == 0);
    });
    return 0;
}

}  // namespace Tessor::usb
