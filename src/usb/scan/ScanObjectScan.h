// The full scan: lists the sectors to test from the scan mode's page
// pattern, has the controller write and check its pattern with one vendor
// command per listed sector, and ORs the failing sectors into its bitmap.
#pragma once

#include "usb/scan/ScanObject.h"
#include "usb/scan/ScanProgress.h"

namespace Tessor::usb {

class ScanObjectScan : public ScanObject {
public:
    ScanObjectScan(schema::UsbDevice* device, const std::string& name);

    int myInit() override;
    int myInitLater() override;
    using ScanObject::writeFlash;
    [[nodiscard]] int writeFlash(int pass) override;
    // start >= 0: the device bitmap from that sector on; below 0: one read done.
    [[nodiscard]] int updateBitmap(const unsigned char* data, int start) override;

private:
    void listScanSectors(int planeFactor);
    void addSmallPageChunks(int planeFactor);

    ScanProgress m_progress;
};

}  // namespace Tessor::usb
