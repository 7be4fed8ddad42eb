// How a device was built: tool and code versions, build time, scan choices,
// capacities and the run's password, kept in one sector on the flash.
#pragma once

#include <cstdint>
#include <string>

#include "schema/base/AppVersion.h"
#include "schema/base/Sptr.h"
#include "schema/base/SystemClock.h"
#include "schema/data/BaseCmdData.h"
#include "usb/cfg/CfgDeviceView.h"

namespace Tessor::usb {

class CfgTable;
struct BuildInfoSector;

class BuildInfo : public schema::BaseCmdData {
public:
    static constexpr int kPasswordSize = 18;

    explicit BuildInfo(CfgTable* table);
    BuildInfo(const BuildInfo& other) = default;
    BuildInfo& operator=(const BuildInfo& other) = default;
    ~BuildInfo() override;

    int myInit() override;
    void debug() override;
    int serialize(void* sector) override;
    int reverseSerialize(void* sector) override;
    [[nodiscard]] int finish(schema::UsbDevice* device) override;
    int finish(const CfgDeviceView& device);
    // -1 when no address was allocated or the sector could not be written.
    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;

    const schema::AppVersion& getToolVersion() const { return m_toolVersion; }
    uint16_t getCodeVersion() const { return m_codeVersion; }
    Sptr<schema::SystemClock> getBuildTime() const { return m_buildTime; }
    void setBuildTime(Sptr<schema::SystemClock> clock) { m_buildTime = clock; }
    uint8_t getScanPriority() const { return m_scanPriority; }
    uint8_t getScanLevel() const { return m_scanLevel; }
    uint8_t getEccBytes() const { return m_eccBytes; }
    uint16_t getAutoScanMode() const { return m_autoScanMode; }
    uint32_t getScanBlockMode() const { return m_scanBlockMode; }
    uint32_t getScanPageMode() const { return m_scanPageMode; }
    uint32_t getRealCapacity() const { return m_realCapacity; }
    uint32_t getConfigCapacity() const { return m_configCapacity; }
    uint32_t getTotalCapacity() const { return m_totalCapacity; }
    uint32_t getBadSectors() const { return m_badSectors; }
    // The stored 18 bytes; not terminated when all are used.
    const char* getPassword() const { return m_password; }
    // Hex dump of a build-information sector with its password left out.
    static void dumpSector(const void* sector, const char* title);
    // Clears the field and keeps at most `max` characters of the password.
    void setPassword(const std::string& password, size_t max = kPasswordSize - 1);

private:
    // The tool version and build time as the sector holds them.
    struct Stamp {
        uint32_t toolVersion = 0;
        uint64_t buildTime = 0;
    };
    // One description of the sector for both directions (see FieldTransfer.h).
    template <class Io, class Self, class StampT>
    static void describe(const Io& io, Self& self, StampT& stamp, BuildInfoSector& sector);
    void takeVersions();
    const char* maskedPassword() const;

    Sptr<schema::SystemClock> m_buildTime;
    schema::AppVersion m_toolVersion;
    uint16_t m_codeVersion = 0;
    uint8_t m_scanPriority = 0;
    uint8_t m_scanLevel = 0;
    uint8_t m_eccBytes = 0;
    uint16_t m_autoScanMode = 0;
    uint32_t m_scanBlockMode = 0;
    uint32_t m_scanPageMode = 0;
    uint32_t m_realCapacity = 0;
    uint32_t m_configCapacity = 0;
    uint32_t m_totalCapacity = 0;
    uint32_t m_badSectors = 0;
    char m_password[kPasswordSize] = {};
    CfgTable* m_table;
};

}  // namespace Tessor::usb
