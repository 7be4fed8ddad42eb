// The flash-information item of the 6605 controller.
#pragma once

#include "usb/cfg/CfgFlash.h"

namespace Tessor::usb {

class CfgFlash6605 : public CfgFlash {
public:
    explicit CfgFlash6605(CfgTable* table) : CfgFlash(table, "Flash6605Ctrl", CfgVariant::V6605) {}
};

}  // namespace Tessor::usb
