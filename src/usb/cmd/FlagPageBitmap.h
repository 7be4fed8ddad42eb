// The flag table: one sector that repeats the page-bitmap bits of the blocks
// in which the page bitmap itself is stored.
#pragma once

#include <vector>

#include "schema/base/Sptr.h"
#include "schema/data/BaseCmdData.h"

namespace Tessor::usb {

class PageBitmap;

class FlagPageBitmap : public schema::BaseCmdData {
public:
    // Throws BitmapException (DeviceCode::TOO_MANY_BAD_BLOCKS) when the page
    // bitmap's blocks do not fit one sector.
    explicit FlagPageBitmap(Sptr<PageBitmap> pageBitmap);
    // The table as read back from the flag-table sector of the device, over
    // the device's page bitmap; a null sector leaves it all 0xFF.
    FlagPageBitmap(schema::UsbDevice* device, const void* raw);
    ~FlagPageBitmap() override = default;

    unsigned char* getBitmap() { return reinterpret_cast<unsigned char*>(m_buffer.data()); }
    Sptr<PageBitmap> getPageBitmap() const { return m_pageBitmap; }

    [[nodiscard]] int update(schema::UsbDevice* device) override;
    // Copies the bits of each block, in the order the page bitmap is stored.
    [[nodiscard]] int rebuild(const std::vector<int>& storedBlocks);
    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    [[nodiscard]] int validateFlash(schema::UsbDevice* device) override;
    [[nodiscard]] int write() override;
    int myInit() override;

private:
    Sptr<PageBitmap> m_pageBitmap;
};

}  // namespace Tessor::usb
