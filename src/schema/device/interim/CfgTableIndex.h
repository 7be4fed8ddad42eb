#pragma once

#include "schema/data/BaseData.h"

namespace Tessor::interim {

class CfgTableIndex : public schema::BaseData {
public:
    explicit CfgTableIndex(schema::UsbDevice* device) : BaseData(device, "CfgTableIndex") {}
    int init() override { return 0; }
};

}  // namespace Tessor::interim
