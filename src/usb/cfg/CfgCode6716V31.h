// The code-control item of the 6716V31 controller.
#pragma once

#include "usb/cfg/CfgCode.h"

namespace Tessor::usb {

class CfgCode6716V31 : public CfgCode {
public:
    explicit CfgCode6716V31(CfgTable* table) : CfgCode(table, "Code6716V31Ctrl", CfgVariant::V6716V31) {}
};

}  // namespace Tessor::usb
