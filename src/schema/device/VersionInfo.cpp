#include "schema/device/VersionInfo.h"

#include <cstdint>
#include <cstring>

#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"

namespace Tessor::schema {

VersionInfo::VersionInfo(VERSION_T version, unsigned char controllerType, bool hasCfgTable)
    : m_hasCfgTable(hasCfgTable), m_controllerType(controllerType), m_versionNumber(version)
{
}

VersionInfo::VersionInfo(const void* raw) : VersionInfo(raw, UsbConfiguration::instance()->getChipSet()) {}

VersionInfo::VersionInfo(const void* raw, int chipSet)
{
    const auto* bytes = static_cast<const unsigned char*>(raw);
    uint32_t signature;
    std::memcpy(&signature, bytes, sizeof(signature));
    m_hasCfgTable = signature == CFG_TABLE_SIGNATURE;
    m_controllerType = bytes[5];
    if (chipSet == CHIPSET_6605 && !m_hasCfgTable) {
        // An untabled 6605 answers ".?0p"; anything else leaves the version
        // outside the known set so the version check rejects the device.
        bool known = bytes[4] == '.' && bytes[6] == '0' && bytes[7] == 'p';
        m_versionNumber = known ? VERSION_6605 : VERSION_UNSET;
    } else {
        auto digit = [bytes](int i) { return static_cast<int>(static_cast<signed char>(bytes[i])); };
        setVersionNumber(digit(4) * 100 + digit(6) * 10 + digit(7) - 5328);
    }
    CPLOG(7, "Version Info : hasConfigTable : %s;\tControlerType : %d; version : %d",
          m_hasCfgTable ? "YES" : "NO", m_controllerType, m_versionNumber);
}

void VersionInfo::setVersionNumber(int n)
{
    switch (n) {
    case VERSION_6706:
    case VERSION_6716:
    case VERSION_6716V31:
    case VERSION_6716V32:
    case VERSION_6726:
    case VERSION_6605:
        m_versionNumber = static_cast<VERSION_T>(n);
        return;
    default:
        CPLOG(4, "Unrecongnized firmware version : %d. Used as default 6706 device", n);
        m_versionNumber = VERSION_6706;
    }
}

}  // namespace Tessor::schema
