#include "usb/scan/ScanBitmap6LIgnoreH.h"

namespace Tessor::usb {

ScanBitmap6LIgnoreH::ScanBitmap6LIgnoreH(int pagesPerBlock, std::string name)
    : ScanBitmap(pagesPerBlock, SCAN_PAGE_6L_LOW, std::move(name))
{
    ScanBitmap6LIgnoreH::myInit();
}

int ScanBitmap6LIgnoreH::myInit()
{
    for (int k = 1; 4 * k + 2 < getPagesPerBlock(); ++k) {
        unmarkRange(4 * k + 2, 4 * k + 3);
    }
    return 0;
}

}  // namespace Tessor::usb
