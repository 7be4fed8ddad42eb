// One cut of the shared scan sample: sector data, its complement, or the
// error-correction zones of either.
#pragma once

#include "schema/data/BaseCmdData.h"

namespace Tessor::usb {

enum class _SAMPLE_TYPE : int32_t {
    ScanSample = 1,
    ScanSampleReverse = 2,
    ScanSampleEcc = 3,
    ScanSampleEccReverse = 4,
};

class ScanSample : public schema::BaseCmdData {
public:
    static constexpr int ZONE_SIZE = 16;

    ScanSample(int sectorCount, _SAMPLE_TYPE type);
    ScanSample(const std::string& name, const char* data, int sectorCount, _SAMPLE_TYPE type);

    int myInit() override;
    // The samples live on the host only.
    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;

    int getSectorCount() const { return m_sectorCount; }
    _SAMPLE_TYPE getType() const { return m_type; }

private:
    int32_t m_sectorCount;
    _SAMPLE_TYPE m_type;
};

}  // namespace Tessor::usb
