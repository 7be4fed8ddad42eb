#pragma once

namespace Tessor::usb {

// One block of a block list: the pages of the block whose sectors of the
// list's span are all good.
struct _BLOCK_NODE {
    int blockNo;
    int pageCount;
};

}  // namespace Tessor::usb
