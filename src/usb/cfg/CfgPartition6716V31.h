// The partition item of the 6716V31 controller.
#pragma once

#include "usb/cfg/CfgPartition.h"

namespace Tessor::usb {

class CfgPartition6716V31 : public CfgPartition {
public:
    explicit CfgPartition6716V31(CfgTable* table) : CfgPartition(table, "Partition6716V31Ctrl", CfgVariant::V6716V31) {}
};

}  // namespace Tessor::usb
