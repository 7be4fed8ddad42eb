#include "usb/scan/ScanBitmap4KQIgnoreL.h"

namespace Tessor::usb {

ScanBitmap4KQIgnoreL::ScanBitmap4KQIgnoreL(int pagesPerBlock, std::string name)
    : ScanBitmap(pagesPerBlock, SCAN_PAGE_4KQ_IGNORE_L, std::move(name))
{
    ScanBitmap4KQIgnoreL::myInit();
}

int ScanBitmap4KQIgnoreL::myInit()
{
    unmarkRange(getPagesPerBlock() / 2, getPagesPerBlock() - 1);
    return 0;
}

}  // namespace Tessor::usb
