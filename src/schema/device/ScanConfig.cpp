#include "schema/device/ScanConfig.h"

#include "schema/base/SystemInfo.h"

namespace Tessor::schema {

ScanConfig::ScanConfig(UsbDevice* device, const std::string& name) : BaseData(device, name)
{
    init();
}

ScanConfig::ScanConfig(const Sptr<ScanConfig>& other) : BaseData("ScanConfig")
{
    copySettings(*other);
}

ScanConfig::ScanConfig(const ScanConfig& other) : BaseData(other)
{
    copySettings(other);
}

ScanConfig& ScanConfig::operator=(const ScanConfig& other)
{
    copySettings(other);
    return *this;
}

void ScanConfig::copySettings(const ScanConfig& other)
{
    m_scanLevel = other.m_scanLevel;
    m_scanPriority = other.m_scanPriority;
    m_scanMode = other.m_scanMode;
    m_scanSpeed = other.m_scanSpeed;
    m_autoMode = other.m_autoMode;
    m_scanTimes = other.m_scanTimes;
    m_eccStatus = other.m_eccStatus;
    m_eccBytes = other.m_eccBytes;
}

int ScanConfig::init()
{
    m_scanLevel = 0;
    m_scanPriority = 0;
    m_scanMode = 0;
    m_scanSpeed = 0;
    m_autoMode = 1;
    m_scanTimes = 1;
    m_eccStatus = true;
    m_eccBytes = 1;
    return 0;
}

void ScanConfig::debug()
{
    SystemInfo::debug("\tScanConfig Info :\n");
    SystemInfo::debug("\t\tScanLevel \t: %d, \tScanPriority \t: %d\n", m_scanLevel, m_scanPriority);
    SystemInfo::debug("\t\tECC \t: %s, \tEccBytes \t: %d\n", m_eccStatus ? "YES" : "NO", m_eccBytes);
    SystemInfo::debug("\t\tScanSpeed \t: %d, \tScanTimes \t: %d\n", m_scanSpeed, m_scanTimes);
    SystemInfo::debug("\t\tScanAutoMode \t: %d, \tScanMode \t: %d\n", m_autoMode, m_scanMode);
}

}  // namespace Tessor::schema
