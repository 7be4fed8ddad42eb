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
    [[nodiscard]] int myScan(int reading) override;
    [[nodiscard]] unsigned char* readScanAddress(Sptr<schema::BaseAddress> address, int reading) override;
    [[nodiscard]] int compareScanAddress(Sptr<schema::BaseAddress> address, int reading) override;
    // As compareScanAddress over the work sectors, each followed in the read
    // buffer by its error-correction zone: a sector fails only when its data
    // and zone differ in more bytes than the run's ECC byte count.
    [[nodiscard]] int compareScanAddressEcc(Sptr<schema::BaseAddress> address, int reading);
    // Code i (0 to 9) of a 16-byte error-correction zone.
    static uint16_t getEccCode(const unsigned char* zone, int i);
    // Items of two zones that differ: the three leading bytes and the ten codes.
    static uint16_t compareEccZone(const unsigned char* zone, const unsigned char* other);

    bool isEcc() const { return m_ecc; }

private:
    bool m_ecc = false;
};

}  // namespace Tessor::usb
