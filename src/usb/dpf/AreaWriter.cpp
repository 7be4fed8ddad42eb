#include "usb/dpf/AreaWriter.h"

#include <algorithm>

#include "platform/orrin/Sector.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/dpf/DpfCmd.h"

namespace Tessor::usb {

AreaWriter::AreaWriter(schema::UsbDevice* device, DpfCmd* area)
    : m_device(device), m_area(area), m_sectorsPerBlock(device->getDiskInfo()->getSectorsPerBlock())
{
}

void AreaWriter::seek(int block, int sector)
{
    m_block = block;
    m_sector = sector;
}

void AreaWriter::startBlock()
{
    if (m_sector != 0) {
        seek(m_block + 1, 0);
    }
}

int AreaWriter::write(const unsigned char* data, int sectors, int chunk)
{
    while (sectors > 0) {
        if (m_sector >= m_sectorsPerBlock) {
            seek(m_block + 1, 0);
        }
        Sptr<schema::BaseAddress> block = m_area->getAreaBlock(m_block);
        if (!block) {
            CPLOG(3, "%s of device %s needs more than the %d blocks of its area", m_area->getName(),
                  m_device->getName(), m_area->getAreaBlocks());
            return -1;
        }
        const int n = std::min({sectors, chunk, m_sectorsPerBlock - m_sector});
        const int sector = block->getPhyAddress() + m_sector;
        CPLOG(7, "%s to Flash at %d  nWriteSecLength %d", m_area->getName(), sector, n);
        if (m_device->writeFlashSectors(block->getChipNo(), sector, n, data) != 0) {
            CPLOG(3, "%s of device %s write to flash failed", m_area->getName(), m_device->getName());
            return -1;
        }
        data += static_cast<long>(n) * SECTOR_BYTES;
        sectors -= n;
        m_sector += n;
    }
    return 0;
}

}  // namespace Tessor::usb
