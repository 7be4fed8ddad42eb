// The code-control item of the 6726 controller.
#pragma once

#include "usb/cfg/CfgCode.h"

namespace Tessor::usb {

class CfgCode6726 : public CfgCode {
public:
    explicit CfgCode6726(CfgTable* table) : CfgCode(table, "Code6726Ctrl", CfgVariant::V6726) {}
};

}  // namespace Tessor::usb
