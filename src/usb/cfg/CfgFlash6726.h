// The flash-information item of the 6726 controller.
#pragma once

#include "usb/cfg/CfgFlash.h"

namespace Tessor::usb {

class CfgFlash6726 : public CfgFlash {
public:
    explicit CfgFlash6726(CfgTable* table) : CfgFlash(table, "Flash6726Ctrl", CfgVariant::V6726) {}
};

}  // namespace Tessor::usb
