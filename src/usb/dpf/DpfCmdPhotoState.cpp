#include "usb/dpf/DpfCmdPhotoState.h"

#include <algorithm>
#include <cstring>

#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/SystemInfo.h"
#include "schema/dpf/DpfConfig.h"
#include "schema/dpf/DpfDevice.h"
#include "usb/dpf/DpfCfgTable.h"
#include "usb/dpf/DpfLimits.h"

namespace Tessor::usb {

using schema::SystemInfo;

static_assert(DpfCmdPhotoState::BITMAP_OFFSET + (kMaxPhotos + 7) / 8 <= SECTOR_BYTES);

int DpfCmdPhotoState::finish(schema::UsbDevice* /*device*/)
{
    std::memset(m_table, 0xFF, sizeof m_table);
    std::memcpy(m_table, m_dpfDevice->getCfgTable()->getCfgTableBuffer(), TABLE_HEAD);
    Sptr<schema::DpfConfig> config = m_dpfDevice->getDpfConfig();
    TESSOR_ASSERT(config);
    // The photo writer refuses more photos than the bitmap can mark.
    const int photos = std::min(config->getCurrentImagesCount(), kMaxPhotos);
    std::memset(m_table + BITMAP_OFFSET, 0x00, static_cast<size_t>(photos / 8));
    if (photos % 8 != 0) {
        m_table[BITMAP_OFFSET + photos / 8] = static_cast<unsigned char>(0xFF >> (photos % 8));
    }
    SystemInfo::debugBuffer(m_table, SECTOR_BYTES, "Map Status Address");
    return 0;
}

}  // namespace Tessor::usb
