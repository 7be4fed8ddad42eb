// The code-control item of the 6716 controller.
#pragma once

#include "usb/cfg/CfgCode.h"

namespace Tessor::usb {

class CfgCode6716 : public CfgCode {
public:
    explicit CfgCode6716(CfgTable* table) : CfgCode(table, "Code6716Ctrl", CfgVariant::V6716) {}
};

}  // namespace Tessor::usb
