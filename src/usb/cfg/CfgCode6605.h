// The code-control item of the 6605 controller.
#pragma once

#include "usb/cfg/CfgCode.h"

namespace Tessor::usb {

class CfgCode6605 : public CfgCode {
public:
    explicit CfgCode6605(CfgTable* table) : CfgCode(table, "Code6605Ctrl", CfgVariant::V6605) {}
};

}  // namespace Tessor::usb
