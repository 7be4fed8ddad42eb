// The partition item of the 6726 controller.
#pragma once

#include "usb/cfg/CfgPartition.h"

namespace Tessor::usb {

class CfgPartition6726 : public CfgPartition {
public:
    explicit CfgPartition6726(CfgTable* table) : CfgPartition(table, "Partition6726Ctrl", CfgVariant::V6726) {}
};

}  // namespace Tessor::usb
