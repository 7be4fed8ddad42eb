// The full scan's read-back: one vendor read per listed sector, its result
// bits spread over a device-wide bitmap by the plane layout.
#pragma once

#include "usb/scan/ScanAction.h"

namespace Tessor::usb {

class ScanActionScan : public ScanAction {
public:
    ScanActionScan(ScanObject* engine, const std::string& name, _SCAN_ACTION_TYPE type);

    int myInit() override;
    [[nodiscard]] int myScan(int reading) override;
    [[nodiscard]] unsigned char* readScanAddress(Sptr<schema::BaseAddress> address, int reading) override;
    [[nodiscard]] int compareScanAddress(Sptr<schema::BaseAddress> address, int reading) override;

private:
    int m_repeat = 0;
};

}  // namespace Tessor::usb
