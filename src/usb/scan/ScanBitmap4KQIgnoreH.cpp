#include "usb/scan/ScanBitmap4KQIgnoreH.h"

namespace Tessor::usb {

ScanBitmap4KQIgnoreH::ScanBitmap4KQIgnoreH(int pagesPerBlock, std::string name)
    : ScanBitmap(pagesPerBlock, SCAN_PAGE_4KQ_IGNORE_H, std::move(name))
{
    ScanBitmap4KQIgnoreH::myInit();
}

int ScanBitmap4KQIgnoreH::myInit()
{
    unmarkRange(0, getPagesPerBlock() / 2 - 1);
    return 0;
}

}  // namespace Tessor::usb
