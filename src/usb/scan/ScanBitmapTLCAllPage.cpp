#include "usb/scan/ScanBitmapTLCAllPage.h"

namespace Tessor::usb {

ScanBitmapTLCAllPage::ScanBitmapTLCAllPage(int pagesPerBlock, std::string name)
    : ScanBitmap(pagesPerBlock, SCAN_PAGE_TLC_ALL, std::move(name))
{
    ScanBitmapTLCAllPage::myInit();
}

int ScanBitmapTLCAllPage::myInit()
{
    const int pages = getPagesPerBlock();
    keepOnly([pages](int page) {
        if (pages == 128) {
            return page < 94;
        }
        return pages != 256 || page < 192;
    });
    return 0;
}

}  // namespace Tessor::usb
