// The scan of scan level 3: finds the sector-bitmap image an earlier run
// saved near the end of the flash and reads the bitmap back from it.
#pragma once

#include <vector>

#include "usb/scan/ScanObject.h"
#include "usb/scan/ScanProgress.h"

namespace Tessor::usb {

class ScanObjectFromFlash : public ScanObject {
public:
    ScanObjectFromFlash(schema::UsbDevice* device, const std::string& name);

    int init() override;
    int myInitLater() override { return 0; }
    // 0 with the bitmap read back; DeviceCode::ACCESS_FAILED, SCAN_FAILED
    // (no saved bitmap) or the cancel code.
    [[nodiscard]] int scan() override;

private:
    struct Header {
        int64_t sector = -1;   // device-wide
        int chip = 0;          // chip of the header's block
        bool chipLocal = false;  // addresses counted inside `chip`
        int l2Count = 0;
        int imageSectors = 0;
        std::vector<int64_t> l2Addresses;
    };

    [[nodiscard]] int findHeader(Header* header);
    // Reads one sector of the image; null on failure (logged).
    const unsigned char* readImageSector(const Header& header, int64_t address);
    int64_t deviceWide(const Header& header, int64_t address) const;

    std::vector<unsigned char> m_image;
    std::vector<int64_t> m_addresses;
    ScanProgress m_progress;
};

}  // namespace Tessor::usb
