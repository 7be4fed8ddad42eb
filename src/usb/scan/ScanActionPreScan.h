// The pre-scan's pass over one mode: two readings, each erased, written and
// read back, the read-back packed into a bitmap for the engine.
#pragma once

#include <vector>

#include "usb/scan/ScanAction.h"

namespace Tessor::usb {

class ScanActionPreScan : public ScanAction {
public:
    ScanActionPreScan(ScanObject* engine, const std::string& name, _SCAN_ACTION_TYPE type);

    int myInit() override;
    [[nodiscard]] int scan() override;
    [[nodiscard]] int myScan(int reading) override;
    [[nodiscard]] unsigned char* readScanAddress(Sptr<schema::BaseAddress> address, int reading) override;
    [[nodiscard]] int compareScanAddress(Sptr<schema::BaseAddress> address, int reading) override;

private:
    int m_repeat = 0;
    std::vector<unsigned char> m_preScanBitmap;
};

}  // namespace Tessor::usb
