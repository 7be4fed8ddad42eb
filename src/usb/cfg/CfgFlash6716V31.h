// The flash-information item of the 6716V31 controller.
#pragma once

#include "usb/cfg/CfgFlash.h"

namespace Tessor::usb {

class CfgFlash6716V31 : public CfgFlash {
public:
    explicit CfgFlash6716V31(CfgTable* table) : CfgFlash(table, "Flash6716V31Ctrl", CfgVariant::V6716V31) {}
};

}  // namespace Tessor::usb
