// Scan settings of one production run.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"

namespace Tessor::schema {

typedef int _SCAN_LEVEL;
typedef int _SCAN_PRIORITY;
typedef int SCAN_AUTO_MODE;

class UsbDevice;

class ScanConfig : public BaseData {
public:
    ScanConfig(UsbDevice* device, const std::string& name);
    explicit ScanConfig(const Sptr<ScanConfig>& other);
    ScanConfig(const ScanConfig& other);
    ScanConfig& operator=(const ScanConfig& other);
    ~ScanConfig() override = default;

    void debug() override;
    int init() override;

    _SCAN_LEVEL getScanLevel() const { return m_scanLevel; }
    void setScanLevel(_SCAN_LEVEL v) { m_scanLevel = v; }
    _SCAN_PRIORITY getScanPriority() const { return m_scanPriority; }
    void setScanPriority(_SCAN_PRIORITY v) { m_scanPriority = v; }
    int getScanMode() const { return m_scanMode; }
    void setScanMode(int v) { m_scanMode = v; }
    int getScanSpeed() const { return m_scanSpeed; }
    void setScanSpeed(int v) { m_scanSpeed = v; }
    SCAN_AUTO_MODE getAutoMode() const { return m_autoMode; }
    void setAutoMode(SCAN_AUTO_MODE v) { m_autoMode = v; }
    int getScanTimes() const { return m_scanTimes; }
    void setScanTimes(int v) { m_scanTimes = v; }
    bool getEccStatus() const { return m_eccStatus; }
    void setEccStatus(bool v) { m_eccStatus = v; }
    int getEccBytes() const { return m_eccBytes; }
    void setEccBytes(int v) { m_eccBytes = v; }

private:
    void copySettings(const ScanConfig& other);

    _SCAN_LEVEL m_scanLevel = 0;
    _SCAN_PRIORITY m_scanPriority = 0;
    int m_scanMode = 0;
    int m_scanSpeed = 0;
    SCAN_AUTO_MODE m_autoMode = 1;
    int m_scanTimes = 1;
    bool m_eccStatus = true;
    int m_eccBytes = 1;
};

}  // namespace Tessor::schema
