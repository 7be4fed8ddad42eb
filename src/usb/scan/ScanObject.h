// Base of every scan engine: binds an engine to one device and holds what a
// scan pass needs (its action, scan mode, the sectors it lists and the
// sector bitmap that receives the result). It also brings the device's
// configuration table and scan firmware up to date before a pass.
#pragma once

#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/data/BaseCmdData.h"
#include "usb/scan/ScanTable.h"

namespace Tessor::schema {
class BaseAddress;
}

namespace Tessor::usb {

class ScanAction;
class ScanMode;
class SectorBitmap;

class ScanObject : public schema::BaseCmdData {
public:
    ScanObject(schema::UsbDevice* device, const std::string& name);
    ~ScanObject() override;
    ScanObject(const ScanObject&) = delete;
    ScanObject& operator=(const ScanObject&) = delete;

    int myInit() override;
    int myInitLater() override;
    using BaseCmdData::writeFlash;
    [[nodiscard]] int writeFlash(schema::UsbDevice* /*device*/) override { return 0; }

    // 0, a device error code, or the device's cancel code.
    [[nodiscard]] virtual int scan();
    [[nodiscard]] virtual int initScan();
    // 0 or DeviceCode::ERASE_FAILED, which a scan hands on as it is.
    [[nodiscard]] virtual int erase();
    virtual int getScanBlocksCount();
    virtual Sptr<schema::BaseAddress> getScanAddress(int index);
    [[nodiscard]] virtual int updateBitmap(const unsigned char* data, int index);
    // Writes the scan sample over the whole flash, page by page.
    [[nodiscard]] virtual int writeFlash(int pass);
    // 0, DeviceCode::CFG_TABLE_DOWNLOAD_FAILED or SCAN_CODE_DOWNLOAD_FAILED.
    [[nodiscard]] virtual int updateCfgAndCode(CMD_COMMON_T command);

    Sptr<ScanMode> getScanMode() const { return m_mode; }
    void setScanMode(Sptr<ScanMode> mode) { m_mode = mode; }
    Sptr<SectorBitmap> getSectorBitmap() const { return m_sectorBitmap; }
    void setUpdataAddr(Sptr<schema::BaseAddress> address) { m_updateAddress = address; }
    const std::vector<int>& getScanSectors() const { return m_scanSectors; }
    Sptr<ScanAction> getAction() const { return m_action; }
    ScanTable& getTable() { return m_table; }

protected:
    // The engine's sector bitmap, named after the device library's number.
    void makeSectorBitmap();
    void switchEccOff();

    Sptr<schema::BaseAddress> m_firstAddress;
    Sptr<schema::BaseAddress> m_addressSet;
    std::vector<int> m_scanSectors;
    Sptr<SectorBitmap> m_sectorBitmap;
    Sptr<ScanAction> m_action;
    Sptr<ScanMode> m_mode;
    Sptr<schema::BaseAddress> m_updateAddress;
    ScanTable m_table;
};

}  // namespace Tessor::usb
