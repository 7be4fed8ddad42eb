// The partition item of the 6716 controller.
#pragma once

#include "usb/cfg/CfgPartition.h"

namespace Tessor::usb {

class CfgPartition6716 : public CfgPartition {
public:
    explicit CfgPartition6716(CfgTable* table) : CfgPartition(table, "Partition6716Ctrl", CfgVariant::V6716) {}
};

}  // namespace Tessor::usb
