#pragma once

#include "schema/device/interim/PageBitmap.h"

namespace Tessor::interim {

class FlagPageBitmap : public schema::BaseData {
public:
    explicit FlagPageBitmap(Sptr<PageBitmap> pageBitmap) : BaseData("FlagPageBitmap"), m_pageBitmap(pageBitmap) {}
    int init() override { return 0; }
    Sptr<PageBitmap> getPageBitmap() const { return m_pageBitmap; }

private:
    Sptr<PageBitmap> m_pageBitmap;
};

}  // namespace Tessor::interim
