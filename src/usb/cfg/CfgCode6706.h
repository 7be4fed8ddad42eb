// The code-control item of the 6706 controller.
#pragma once

#include "usb/cfg/CfgCode.h"

namespace Tessor::usb {

class CfgCode6706 : public CfgCode {
public:
    explicit CfgCode6706(CfgTable* table) : CfgCode(table, "Code6706Ctrl", CfgVariant::V6706) {}
};

}  // namespace Tessor::usb
