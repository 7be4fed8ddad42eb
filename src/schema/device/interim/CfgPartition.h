#pragma once

#include "schema/data/BaseData.h"

namespace Tessor::interim {

class CfgPartition : public schema::BaseData {
public:
    CfgPartition() : BaseData("CfgPartition") {}
    int init() override { return 0; }
};

}  // namespace Tessor::interim
