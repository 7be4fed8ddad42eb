// The flash-information item of the 6716V32 controller.
#pragma once

#include "usb/cfg/CfgFlash.h"

namespace Tessor::usb {

class CfgFlash6716V32 : public CfgFlash {
public:
    explicit CfgFlash6716V32(CfgTable* table) : CfgFlash(table, "Flash6716V32Ctrl", CfgVariant::V6716V32) {}
};

}  // namespace Tessor::usb
