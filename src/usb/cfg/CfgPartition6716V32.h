// The partition item of the 6716V32 controller.
#pragma once

#include "usb/cfg/CfgPartition.h"

namespace Tessor::usb {

class CfgPartition6716V32 : public CfgPartition {
public:
    explicit CfgPartition6716V32(CfgTable* table) : CfgPartition(table, "Partition6716V32Ctrl", CfgVariant::V6716V32) {}
};

}  // namespace Tessor::usb
