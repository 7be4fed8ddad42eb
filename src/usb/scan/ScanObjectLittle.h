// The scan of small-page flash (one sector a page) on the small-page
// firmware: the host writes the sample over the whole flash and compares it
// back 32 sectors at a time.
#pragma once

#include "usb/scan/ScanObject.h"

namespace Tessor::usb {

class ScanObjectLittle : public ScanObject {
public:
    ScanObjectLittle(schema::UsbDevice* device, const std::string& name);

    int myInit() override;
    int myInitLater() override;
    [[nodiscard]] int initScan() override;
    Sptr<schema::BaseAddress> getScanAddress(int index) override;
    // ORs the failing sectors of the group that starts at `start`; -1 to go on.
    [[nodiscard]] int updateBitmap(const unsigned char* data, int start) override;
};

}  // namespace Tessor::usb
