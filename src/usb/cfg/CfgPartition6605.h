// The partition item of the 6605 controller.
#pragma once

#include "usb/cfg/CfgPartition.h"

namespace Tessor::usb {

class CfgPartition6605 : public CfgPartition {
public:
    explicit CfgPartition6605(CfgTable* table) : CfgPartition(table, "Partition6605Ctrl", CfgVariant::V6605) {}
};

}  // namespace Tessor::usb
