// The flash-information item of the 6706 controller.
#pragma once

#include "usb/cfg/CfgFlash.h"

namespace Tessor::usb {

class CfgFlash6706 : public CfgFlash {
public:
    explicit CfgFlash6706(CfgTable* table) : CfgFlash(table, "Flash6706Ctrl", CfgVariant::V6706) {}
};

}  // namespace Tessor::usb
