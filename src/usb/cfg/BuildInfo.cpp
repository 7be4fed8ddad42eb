#include "usb/cfg/BuildInfo.h"

#include <algorithm>
#include <cstring>

#include "platform/taval/Taval.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/BuildInfoSector.h"

namespace Tessor::usb {

using schema::SystemInfo;

namespace {

constexpr int kSectorsPerMb = 2048;

uint64_t ticksOf(const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

FILETIME fileTimeOf(uint64_t ticks)
{
    return FILETIME{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
}

}  // namespace

BuildInfo::BuildInfo(CfgTable* table) : BaseCmdData("BuildInfo"), m_table(table) { init(); }

BuildInfo::~BuildInfo() { CPLOG(7, "~BuildInfo deconstruct !"); }

void BuildInfo::takeVersions()
{
    const schema::UsbConfiguration* configuration = schema::UsbConfiguration::instance();
    m_toolVersion = configuration->getVersion();
    const _HW_VERSION_T* hw = configuration->getHwVersion();
    m_codeVersion = hw != nullptr ? static_cast<uint16_t>(hw->version) : 0;
}

int BuildInfo::myInit()
{
    m_length = SECTOR_SIZE;
    takeVersions();
    m_buildTime = SystemInfo::getSystemClock(nullptr);
    m_scanPriority = m_scanLevel = m_eccBytes = 0;
    m_autoScanMode = 0;
    m_scanBlockMode = m_scanPageMode = 0;
    m_realCapacity = m_totalCapacity = m_badSectors = 0;
    if (getDevice() != nullptr) {
        update(getDevice());
    }
    return 0;
}

int BuildInfo::finish(schema::UsbDevice* device) { return finish(CfgDeviceView::of(device)); }

int BuildInfo::finish(const CfgDeviceView& device)
{
    TESSOR_ASSERT(device.settings && device.disk);
    const schema::ConfigInfo& settings = *device.settings;
    m_realCapacity = static_cast<uint32_t>(settings.getRealCapacity());
    m_configCapacity = static_cast<uint32_t>(settings.getConfigCapacity());
    takeVersions();
    m_totalCapacity = static_cast<uint32_t>(device.disk->getTotalSectors());
    m_buildTime = SystemInfo::getSystemClock(nullptr);
    Sptr<schema::ScanConfig> scan = settings.getScanConfig();
    TESSOR_ASSERT(scan);
    m_eccBytes = static_cast<uint8_t>(scan->getEccBytes());
    m_scanPriority = static_cast<uint8_t>(scan->getScanPriority());
    m_scanLevel = static_cast<uint8_t>(scan->getScanLevel());
    const std::string& password = settings.getPassword();
    std::memset(m_password, 0, sizeof m_password);
    std::memcpy(m_password, password.data(), std::min<size_t>(password.size(), kPasswordSize));
    m_badSectors = 0;
    CPLOG(7, "BuildInfo scan level %d", m_scanLevel);
    CPLOG(7, "BuildInfo ecc bytes %d", m_eccBytes);
    return 0;
}

int BuildInfo::serialize(void* sector)
{
    BuildInfoSector s{};
    s.toolVersion.set(static_cast<uint32_t>(m_toolVersion.getVersion()));
    s.codeVersion.set(m_codeVersion);
    FILETIME time{};
    SystemInfo::getFileTime(&time, m_buildTime);
    s.buildTime.set(ticksOf(time));
    s.scanBlockMode = static_cast<uint8_t>(m_scanBlockMode);
    s.scanPageMode = static_cast<uint8_t>(m_scanPageMode);
    s.eccBytes = m_eccBytes;
    s.scanPriority = m_scanPriority;
    s.scanLevel = m_scanLevel;
    s.autoScanMode.set(m_autoScanMode);
    s.realCapacity.set(m_realCapacity);
    s.configCapacity.set(m_configCapacity);
    s.totalCapacity.set(m_totalCapacity);
    s.badSectors.set(m_badSectors);
    std::memcpy(s.password, m_password, kPasswordSize);
    std::memcpy(sector, &s, sizeof s);
    CPLOG(7, "BuildInfo serialization scanPriority=%d", s.scanPriority);
    CPLOG(7, "BuildInfo serialization finished");
    return 0;
}

int BuildInfo::reverseSerialize(void* sector)
{
    BuildInfoSector s;
    std::memcpy(&s, sector, sizeof s);
    m_toolVersion = schema::AppVersion(static_cast<int>(s.toolVersion.get()));
    m_codeVersion = s.codeVersion.get();
    const FILETIME time = fileTimeOf(s.buildTime.get());
    m_buildTime = SystemInfo::getSystemClock(&time);
    m_scanBlockMode = s.scanBlockMode;
    m_scanPageMode = s.scanPageMode;
    m_eccBytes = s.eccBytes;
    m_scanPriority = s.scanPriority;
    m_scanLevel = s.scanLevel;
    m_autoScanMode = s.autoScanMode.get();
    m_realCapacity = s.realCapacity.get();
    m_configCapacity = s.configCapacity.get();
    m_totalCapacity = s.totalCapacity.get();
    m_badSectors = s.badSectors.get();
    std::memcpy(m_password, s.password, kPasswordSize);
    CPLOG(7, "reverseSerialize get the passWord is=%s", maskedPassword());
    CPLOG(7, "BuildInfo reverse serialization finished");
    return 0;
}

// The password never reaches the log in clear.
const char* BuildInfo::maskedPassword() const { return m_password[0] != '\0' ? "******" : ""; }

int BuildInfo::writeFlash(schema::UsbDevice* device)
{
    unsigned char sector[SECTOR_SIZE];
    serialize(sector);
    Sptr<schema::BaseAddress> address = getAddress();
    if (!address) {
        CPLOG(3, "Address is not allocated for BuildInfo, so write to flash failed");
        return -1;
    }
    TESSOR_ASSERT(device != nullptr);
    CPLOG(5, "BuildIndo write flash at %s", address->logData());
    if (device->writeFlashSectors(address, 1, sector) != 0) {
        CPLOG(3, "Write BuildInfo on %d of device %s failed", address->getPhyAddress(), device->getName());
        SystemInfo::debugBuffer(sector, SECTOR_SIZE, "Dump BuildInfo");
        return -1;
    }
    CPLOG(7, "password = %s Write BuildInfo on %s", maskedPassword(), address->logData());
    return 0;
}

void BuildInfo::debug()
{
    SystemInfo::debug("\tBuildInfo Info :\n");
    SystemInfo::debug("\t\tToolVersion : %d(%s) \n", m_toolVersion.getVersion(), m_toolVersion.getVersionString());
    SystemInfo::debug("\t\tExternalCodeVersion : %d \n\n", m_codeVersion);
    if (m_buildTime) {
        const schema::SystemClock& t = *m_buildTime;
        SystemInfo::debug("\t\tBuildTime : %d-%d-%d %d:%d:%d \n\n", t.year, t.month, t.day, t.hour, t.minute,
                          t.second);
    }
    SystemInfo::debug("\t\tScanBlockMode : %d \n", static_cast<int>(m_scanBlockMode));
    SystemInfo::debug("\t\tScanPageMode : %d \n\n", static_cast<int>(m_scanPageMode));
    SystemInfo::debug("\t\tEccBytes : %d \n", m_eccBytes);
    SystemInfo::debug("\t\tScanPriority : %d \n\n", m_scanPriority);
    SystemInfo::debug("\t\tAutoScanMode : %d \n", m_autoScanMode);
    SystemInfo::debug("\t\tRealCapacity : %d Mb\n", static_cast<int>(m_realCapacity / kSectorsPerMb));
    SystemInfo::debug("\t\tConfigCapacity : %d Mb\n", static_cast<int>(m_configCapacity / kSectorsPerMb));
    SystemInfo::debug("\t\tTotalCapacity : %d Mb\n\n", static_cast<int>(m_totalCapacity / kSectorsPerMb));
    SystemInfo::debug("\t\tBadSectors : %d \n", static_cast<int>(m_badSectors));
}

}  // namespace Tessor::usb
