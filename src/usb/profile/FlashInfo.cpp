#include "usb/profile/FlashInfo.h"

#include <cstring>

#include "schema/device/DiskInfo.h"

namespace Tessor::usb {

FlashInfo::FlashInfo() : m_chipsPerDisk(0), m_dualChannel(false), m_dualDie(false)
{
    memset(&m_chipInfo, 0, sizeof m_chipInfo);
}

Sptr<Tessor::schema::DiskInfo> FlashInfo::getDiskInfo() const
{
    return Sptr<Tessor::schema::DiskInfo>(new Tessor::schema::DiskInfo(
        m_chipsPerDisk, m_chipInfo.BlockPerChip, m_chipInfo.PagePerBlock, m_chipInfo.SectorPerPage));
}

}  // namespace Tessor::usb
