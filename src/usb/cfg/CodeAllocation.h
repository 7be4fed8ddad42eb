// What the code-control record takes from the low format: the allocated
// address set, the allocator's page counts and the page bitmap's extent.
#pragma once

#include "schema/base/Sptr.h"
#include "schema/device/BaseAddress.h"
#include "usb/cfg/AllocatAddress.h"

namespace Tessor::usb {

struct CodeAllocation {
    Sptr<AllocatAddress> addresses;
    int pagesPerCode = 0;
    int pagesForExternalCode = 0;
    int pagesForDpfCode = 0;
    int pagesInBlockSet0 = 0;
    // Their children are the pages of the photo-frame code and of the page bitmap.
    Sptr<schema::BaseAddress> dpfCodeAddress;
    Sptr<schema::BaseAddress> pageBitmapAddress;
    // Photo-frame configuration table; only read with photo-frame support.
    bool dpfSupport = false;
    Sptr<schema::BaseAddress> photoCfgTableAddress;
    // Page bitmap: pages per block of its disk, blocks of block set 0 it fills.
    int pageBitmapPagesPerBlock = 0;
    int pageBitmapBlocks = 0;
};

}  // namespace Tessor::usb
