// What a device's version block says about it.
#pragma once

namespace Tessor::schema {

// Firmware versions, one per controller variant.
enum VERSION_T : int {
    VERSION_UNSET = 0,
    VERSION_6706 = 240,
    VERSION_6716 = 300,
    VERSION_6716V31 = 310,
    VERSION_6716V32 = 320,
    VERSION_6726 = 400,
    VERSION_6605 = 600,
};

class VersionInfo {
public:
    static constexpr unsigned int CFG_TABLE_SIGNATURE = 0xA55AA55A;

    VersionInfo() = default;
    VersionInfo(VERSION_T version, unsigned char controllerType, bool hasCfgTable);
    // Reads the raw block against the configured chip set.
    explicit VersionInfo(const void* raw);
    VersionInfo(const void* raw, int chipSet);
    virtual ~VersionInfo() = default;

    bool checkCfgTable() const { return m_hasCfgTable; }
    void setHasCfgTable(bool has) { m_hasCfgTable = has; }
    unsigned char getControllerType() const { return m_controllerType; }
    void setControllerType(unsigned char type) { m_controllerType = type; }
    VERSION_T getVersionNumber() const { return m_versionNumber; }
    void setVersionNumber(int n);

private:
    bool m_hasCfgTable = false;
    unsigned char m_controllerType = 0;
    VERSION_T m_versionNumber = VERSION_6706;
};

}  // namespace Tessor::schema
