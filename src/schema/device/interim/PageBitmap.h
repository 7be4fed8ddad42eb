#pragma once

#include "schema/data/BaseData.h"

namespace Tessor::interim {

class PageBitmap : public schema::BaseData {
public:
    PageBitmap() : BaseData("PageBitmap") {}
    int init() override { return 0; }
};

}  // namespace Tessor::interim
