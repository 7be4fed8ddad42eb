// The action of the engines that write the sample themselves: it reads the
// written sectors back through the normal read with error correction and
// compares them with the sample, 32 sectors a group.
#pragma once

#include <cstdint>

#include "usb/scan/ScanAction.h"

namespace Tessor::usb {

class ScanActionRaw : public ScanAction {
public:
    static constexpr int GROUP_SECTORS = 32;

    ScanActionRaw(ScanObject* engine, const std::string& name, _SCAN_ACTION_TYPE type);

    int myInit() override;
    int myScan(int reading) override;
    unsigned char* readScanAddress(Sptr<schema::BaseAddress> address, int reading) override;
    int compareScanAddress(Sptr<schema::BaseAddress> address, int reading) override;

    bool isEcc() const { return m_ecc; }

private:
    bool m_ecc = false;
};

}  // namespace Tessor::usb
