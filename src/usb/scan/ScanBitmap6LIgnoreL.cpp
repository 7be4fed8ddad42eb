#include "usb/scan/ScanBitmap6LIgnoreL.h"

namespace Tessor::usb {

ScanBitmap6LIgnoreL::ScanBitmap6LIgnoreL(int pagesPerBlock, std::string name)
    : ScanBitmap(pagesPerBlock, SCAN_PAGE_6L_HIGH, std::move(name))
{
    ScanBitmap6LIgnoreL::myInit();
}

int ScanBitmap6LIgnoreL::myInit()
{
    unmarkRange(0, 5);
    for (int k = 2; 4 * k < getPagesPerBlock(); ++k) {
        unmarkRange(4 * k, 4 * k + 1);
    }
    return 0;
}

}  // namespace Tessor::usb
