#include "usb/cfg/BuildInfo.h"

#include <algorithm>
#include <cstring>

#include "platform/orrin/Sector.h"
#include "platform/taval/Taval.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/BuildInfoSector.h"
#include "usb/cfg/FieldTransfer.h"
#include "usb/cfg/TlcPages.h"

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
    m_length = SECTOR_BYTES;
    takeVersions();
    m_buildTime = SystemInfo::getSystemClock(nullptr);
    m_scanPriority = m_scanLevel = m_eccBytes = 0;
    m_autoScanMode = 0;
    m_scanBlockMode = m_scanPageMode = 0;
    m_realCapacity = m_totalCapacity = m_badSectors = 0;
    return getDevice() != nullptr ? update(getDevice()) : 0;
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
    setPassword(settings.getPassword(), kPasswordSize);
    m_badSectors = 0;
    CPLOG(7, "BuildInfo scan level %d", m_scanLevel);
    CPLOG(7, "BuildInfo ecc bytes %d", m_eccBytes);
    return 0;
}

template <class Io, class Self, class StampT>
void BuildInfo::describe(const Io& io, Self& b, StampT& stamp, BuildInfoSector& s)
{
    io.field(s.toolVersion, stamp.toolVersion);
    io.field(s.codeVersion, b.m_codeVersion);
    io.field(s.buildTime, stamp.buildTime);
    io.field(s.scanBlockMode, b.m_scanBlockMode);
    io.field(s.scanPageMode, b.m_scanPageMode);
    io.field(s.eccBytes, b.m_eccBytes);
    io.field(s.scanPriority, b.m_scanPriority);
    io.field(s.scanLevel, b.m_scanLevel);
    io.field(s.autoScanMode, b.m_autoScanMode);
    io.field(s.realCapacity, b.m_realCapacity);
    io.field(s.configCapacity, b.m_configCapacity);
    io.field(s.totalCapacity, b.m_totalCapacity);
    io.field(s.badSectors, b.m_badSectors);
    io.field(s.password, b.m_password);
}

int BuildInfo::serialize(void* sector)
{
    FILETIME time{};
    SystemInfo::getFileTime(&time, m_buildTime);
    const Stamp stamp{static_cast<uint32_t>(m_toolVersion.getVersion()), ticksOf(time)};
    const BuildInfo& self = *this;
    transferRecord<BuildInfoSector>(PackFields{}, sector,
                                    [&](BuildInfoSector& s) { describe(PackFields{}, self, stamp, s); });
    CPLOG(7, "BuildInfo serialization scanPriority=%d", m_scanPriority);
    CPLOG(7, "BuildInfo serialization finished");
    return 0;
}

int BuildInfo::reverseSerialize(void* sector)
{
    Stamp stamp;
    transferRecord<BuildInfoSector>(UnpackFields{}, sector,
                                    [&](BuildInfoSector& s) { describe(UnpackFields{}, *this, stamp, s); });
    m_toolVersion = schema::AppVersion(static_cast<int>(stamp.toolVersion));
    const FILETIME time = fileTimeOf(stamp.buildTime);
    m_buildTime = SystemInfo::getSystemClock(&time);
    CPLOG(7, "reverseSerialize get the passWord is=%s", maskedPassword());
    CPLOG(7, "BuildInfo reverse serialization finished");
    return 0;
}

void BuildInfo::setPassword(const std::string& password, size_t max)
{
    std::memset(m_password, 0, sizeof m_password);
    std::memcpy(m_password, password.data(), std::min({password.size(), max, sizeof m_password}));
}

void BuildInfo::dumpSector(const void* sector, const char* title)
{
    BuildInfoSector masked;
    std::memcpy(&masked, sector, sizeof masked);
    std::memset(masked.password, 0, sizeof masked.password);
    SystemInfo::debugBuffer(&masked, sizeof masked, title);
}

// The password never reaches the log in clear.
const char* BuildInfo::maskedPassword() const { return m_password[0] != '\0' ? "******" : ""; }

int BuildInfo::writeFlash(schema::UsbDevice* device)
{
    unsigned char sector[SECTOR_BYTES];
    serialize(sector);
    Sptr<schema::BaseAddress> address = getAddress();
    if (!address) {
        CPLOG(3, "Address is not allocated for BuildInfo, so write to flash failed");
        return -1;
    }
    TESSOR_ASSERT(device != nullptr);
    for (const Sptr<schema::BaseAddress>& page : TlcPages::writeOrder(device, address)) {
        CPLOG(5, "BuildIndo write flash at %s", page->logData());
        if (device->writeFlashSectors(page, 1, sector) != 0) {
            CPLOG(3, "Write BuildInfo on %d of device %s failed", page->getPhyAddress(), device->getName());
            dumpSector(sector, "Dump BuildInfo");
            return -1;
        }
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
