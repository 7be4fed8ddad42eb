// What identification found out about a device's flash.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "usb/profile/FlashChipInfo.h"

namespace Tessor::schema {
class DiskInfo;
}

namespace Tessor::usb {

class FlashInfo {
public:
    FlashInfo();

    int getChipsPerDisk() const { return m_chipsPerDisk; }
    void setChipsPerDisk(int chips) { m_chipsPerDisk = chips; }
    bool getDualChannel() const { return m_dualChannel; }
    void setDualChannel(bool v) { m_dualChannel = v; }
    bool getDualDie() const { return m_dualDie; }
    void setDualDie(bool v) { m_dualDie = v; }
    const std::string& getFlashId() const { return m_flashId; }
    void setFlashId(const std::string& id) { m_flashId = id; }
    _FLASH_CHIP_INFO* getChipInfo() { return &m_chipInfo; }
    const _FLASH_CHIP_INFO* getChipInfo() const { return &m_chipInfo; }
    // Chips, blocks per chip, pages per block and sectors per page.
    Sptr<Tessor::schema::DiskInfo> getDiskInfo() const;

private:
    int m_chipsPerDisk;
    bool m_dualChannel;
    bool m_dualDie;
    std::string m_flashId;
    _FLASH_CHIP_INFO m_chipInfo;
};

}  // namespace Tessor::usb
