#include "usb/scan/ScanBitmapTLCBCPage.h"

namespace Tessor::usb {

ScanBitmapTLCBCPage::ScanBitmapTLCBCPage(int pagesPerBlock, std::string name)
    : ScanBitmap(pagesPerBlock, SCAN_PAGE_TLC_BC, std::move(name))
{
    ScanBitmapTLCBCPage::myInit();
}

int ScanBitmapTLCBCPage::myInit()
{
    const int pages = getPagesPerBlock();
    keepOnly([pages](int page) {
        if (pages == 128) {
            return page < 94 && page > 1 && !(page >= 4 && page <= 91 && (page - 4) % 3 == 0);
        }
        if (pages == 256) {
            return page < 192 && page != 0 && page != 2 &&
                   !(page >= 5 && page <= 188 && (page - 5) % 3 == 0);
        }
        return true;
    });
    return 0;
}

}  // namespace Tessor::usb
