// The partition item of the 6706 controller.
#pragma once

#include "usb/cfg/CfgPartition.h"

namespace Tessor::usb {

class CfgPartition6706 : public CfgPartition {
public:
    explicit CfgPartition6706(CfgTable* table) : CfgPartition(table, "Partition6706Ctrl", CfgVariant::V6706) {}
};

}  // namespace Tessor::usb
