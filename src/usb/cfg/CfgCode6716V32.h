// The code-control item of the 6716V32 controller.
#pragma once

#include "usb/cfg/CfgCode.h"

namespace Tessor::usb {

class CfgCode6716V32 : public CfgCode {
public:
    explicit CfgCode6716V32(CfgTable* table) : CfgCode(table, "Code6716V32Ctrl", CfgVariant::V6716V32) {}
};

}  // namespace Tessor::usb
