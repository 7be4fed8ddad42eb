// Where each record lies in the configuration-table sector of a controller
// variant, and which variant a configured chip set is.
#pragma once

#include <optional>

#include "usb/cfg/CfgVariant.h"

namespace Tessor::usb {

struct CfgTableLayout {
    enum Descriptors { TBL_INFO, INFO_V31, INFO_6605 };

    int flashInfo;
    int udisk;
    int codeCtrl;
    int descriptors;
    Descriptors descriptorBlock;
    int mp3;  // -1: none
    int pageOffset4Build;
    int imageLength;

    static CfgTableLayout of(CfgVariant variant);
    // Empty for chip set 2 and chip sets outside 1 to 7.
    static std::optional<CfgVariant> variantOf(int chipSet);
};

}  // namespace Tessor::usb
