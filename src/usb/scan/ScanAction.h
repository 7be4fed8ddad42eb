// One pass of a scan engine over the flash: the engine erases and writes its
// pattern, the action reads the result back and hands the failing-sector
// flags to the engine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"

namespace Tessor::schema {
class BaseAddress;
}

namespace Tessor::usb {

class ScanObject;

enum _SCAN_ACTION_TYPE : int32_t {
    SCAN_ACTION_SPEED = 0,
    SCAN_ACTION_LITTLE_PAGE = 1,
    SCAN_ACTION_PRESCAN = 2,
    SCAN_ACTION_SCAN = 3,
};

class ScanAction : public schema::BaseData {
public:
    ScanAction(ScanObject* engine, const std::string& name, _SCAN_ACTION_TYPE type);
    ~ScanAction() override;
    ScanAction(const ScanAction&) = delete;
    ScanAction& operator=(const ScanAction&) = delete;

    // Sizes and zeroes the work buffer after the subclass's `myInit`.
    int init() override;
    // Erase, write pass 0, read back pass 0; the first non-zero result.
    [[nodiscard]] virtual int scan();
    virtual int myInit() = 0;
    // Walks the engine's scan addresses until it has none.
    [[nodiscard]] virtual int myScan(int reading);
    [[nodiscard]] virtual unsigned char* readScanAddress(Sptr<schema::BaseAddress> address, int reading);
    [[nodiscard]] virtual int compareScanAddress(Sptr<schema::BaseAddress> address, int reading);

    int getCountOfSectors() const { return m_workSectors; }
    _SCAN_ACTION_TYPE getActionType() const { return m_type; }

protected:
    // The address form of the result read: a page's units, jumping a page
    // at a time; the result becomes the read buffer (null on failure).
    [[nodiscard]] unsigned char* readPageUnits(Sptr<schema::BaseAddress> address);
    // The read buffer to the engine, at the address's device-wide sector.
    [[nodiscard]] int handToEngine(Sptr<schema::BaseAddress> address);

    unsigned char* m_readBuffer = nullptr;
    ScanObject* m_engine;
    std::vector<unsigned char> m_work;
    int m_workLength = 0;
    int m_workSectors = 0;
    _SCAN_ACTION_TYPE m_type;
};

}  // namespace Tessor::usb
