// The speed probe: writes the sample over the first two blocks, reads them
// back through the raw action and keeps the first good sector, on which the
// speed task then tries its speed codes.
#pragma once

#include "usb/scan/ScanObject.h"

namespace Tessor::usb {

class ScanObjectSpeed : public ScanObject {
public:
    static constexpr int PROBE_BLOCKS = 2;

    ScanObjectSpeed(schema::UsbDevice* device, const std::string& name, int blockCount);

    int myInit() override;
    int myInitLater() override;
    // 0 (with or without a good sector), the cancel code, or
    // DeviceCode::INDEX_TABLE_FAILED when the probe itself failed.
    [[nodiscard]] int scan() override;
    [[nodiscard]] int initScan() override;
    [[nodiscard]] int erase() override;
    Sptr<schema::BaseAddress> getScanAddress(int index) override;
    [[nodiscard]] int updateBitmap(const unsigned char* data, int index) override;
    using ScanObject::writeFlash;
    [[nodiscard]] int writeFlash(int pass) override;

    // -1 while no sector was found good.
    int getFirstGoodSector() const { return m_firstGoodSector; }

private:
    int m_blockCount;
    int m_firstGoodSector = -1;
    int m_currentBlock = 0;
};

}  // namespace Tessor::usb
