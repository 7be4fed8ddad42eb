#include "usb/scan/ScanSample.h"

#include <cstring>

#include "platform/orrin/Sector.h"
#include "schema/base/Log.h"

namespace Tessor::usb {

ScanSample::ScanSample(int sectorCount, _SAMPLE_TYPE type)
    : BaseCmdData("ScanSample"), m_sectorCount(sectorCount), m_type(type)
{
}

ScanSample::ScanSample(const std::string& name, const char* data, int sectorCount, _SAMPLE_TYPE type)
    : BaseCmdData(name), m_sectorCount(sectorCount), m_type(type)
{
    init();
    if (m_length > 0) {
        std::memcpy(getBuffer(), data, m_length);
    }
}

int ScanSample::myInit()
{
    const bool zones = m_type == _SAMPLE_TYPE::ScanSampleEcc || m_type == _SAMPLE_TYPE::ScanSampleEccReverse;
    m_length = m_sectorCount * (zones ? ZONE_SIZE : SECTOR_BYTES);
    return 0;
}

int ScanSample::writeFlash(schema::UsbDevice* /*device*/)
{
    CPLOG(3, "%s is a host sample and is never written to flash", getName());
    return -1;
}

}  // namespace Tessor::usb
