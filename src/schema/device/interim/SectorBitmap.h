#pragma once

#include "schema/data/BaseData.h"

namespace Tessor::interim {

class SectorBitmap : public schema::BaseData {
public:
    SectorBitmap() : BaseData("SectorBitmap") {}
    int init() override { return 0; }
};

}  // namespace Tessor::interim
