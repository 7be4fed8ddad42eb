// The flag table: one sector that repeats the page-bitmap bits of the blocks
// in which the page bitmap itself is stored.
#pragma once

#include <vector>

#include "schema/base/Sptr.h"

namespace Tessor::usb {

class PageBitmap;

class FlagPageBitmap {
public:
    static constexpr int kTableBytes = 512;

    // Throws BitmapException (kBadBlocksTooMuch) when the page bitmap's
    // blocks do not fit one sector.
    FlagPageBitmap(Sptr<PageBitmap> pageBitmap, bool factoryFunction);
    virtual ~FlagPageBitmap() = default;

    unsigned char* getBuffer() { return m_table.data(); }
    int getLength() const { return m_length; }
    Sptr<PageBitmap> getPageBitmap() const { return m_pageBitmap; }

    // Copies the bits of each block, in the order the page bitmap is stored.
    int rebuild(const std::vector<int>& storedBlocks);

private:
    Sptr<PageBitmap> m_pageBitmap;
    int m_length = 0;
    std::vector<unsigned char> m_table;
};

}  // namespace Tessor::usb
