// Triple-level-cell flash: a system page is also written to a partner page
// a few pages lower in its block, unless that partner holds a system page.
#pragma once

#include <vector>

#include "schema/base/Sptr.h"
#include "schema/device/BaseAddress.h"

namespace Tessor::usb {

class TlcPages {
public:
    using Address = Sptr<schema::BaseAddress>;

    // The partner of `page` by the part's real pages per block; -1 for none.
    static int partnerPage(int realPagesPerBlock, int page);
    // The partner's address (same chip, block and sector), or empty.
    static Address tlcPageAddress(schema::UsbDevice* device, Address target);
    // a lies in b's block at b's partner page.
    static bool tlcSamePageGroup(schema::UsbDevice* device, Address a, Address b);
    // Where target's duplicate goes: its partner, unless one of the device's
    // system pages (empty entries are skipped) sits there.
    static Address _allocatAdd(schema::UsbDevice* device, const std::vector<Address>& systemPages, Address target);
    // The same against the system pages of the device's address sets.
    static Address _allocatAdd(schema::UsbDevice* device, Address target);
    // The pages a system-area writer writes for target, in order: on
    // triple-level-cell flash its free partner first, then target itself.
    static std::vector<Address> writeOrder(schema::UsbDevice* device, Address target);
    // The system pages of the device's address sets and then those of the
    // table it holds, in the order they are looked at; the index record's
    // pages only on index-pointer firmware.
    static std::vector<Address> systemPages(schema::UsbDevice* device);
};

}  // namespace Tessor::usb
