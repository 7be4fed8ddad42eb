// The trace line of a controller record's size, named as the controller
// variant's own record type is named.
#pragma once

#include "usb/cfg/CfgVariant.h"

namespace Tessor::usb {

class RecordSizeLog {
public:
    // Logs the size of `record` (such as "CODE_CTRL") written or, when not
    // `packs`, read; returns `len`.
    static int logged(const char* record, CfgVariant variant, bool packs, int len);
};

}  // namespace Tessor::usb
