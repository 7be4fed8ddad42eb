// The page patterns of one device's flash kind, built once per scan run
// for the device's block size and handed out by number.
#pragma once

#include <cstdint>
#include <map>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "usb/scan/ScanBitmap.h"
#include "usb/scan/ScanGeometry.h"

namespace Tessor::usb {

class ScanBitmapFactory : public schema::BaseData {
public:
    // 0 with the new factory, or −DeviceCode::SCAN_BITMAP_FAILED when the
    // device's block size has no patterns: that fails the device, not the
    // process.
    [[nodiscard]] static int create(schema::UsbDevice* device, Sptr<ScanBitmapFactory>& factory);
    [[nodiscard]] static int create(schema::UsbDevice* device, const ScanGeometry& geometry, Sptr<ScanBitmapFactory>& factory);

    Sptr<ScanBitmap> getScanBitmap(_SCAN_PAGE_MODE mode);

protected:
    int init() override;
    int tlcInit();

private:
    ScanBitmapFactory(schema::UsbDevice* device, int pagesPerBlock);
    void add(ScanBitmap* pattern);

    int32_t m_pagesPerBlock;
    std::map<_SCAN_PAGE_MODE, Sptr<ScanBitmap>> m_patterns;
};

}  // namespace Tessor::usb
