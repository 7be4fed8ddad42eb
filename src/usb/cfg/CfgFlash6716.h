// The flash-information item of the 6716 controller.
#pragma once

#include "usb/cfg/CfgFlash.h"

namespace Tessor::usb {

class CfgFlash6716 : public CfgFlash {
public:
    explicit CfgFlash6716(CfgTable* table) : CfgFlash(table, "Flash6716Ctrl", CfgVariant::V6716) {}
};

}  // namespace Tessor::usb
