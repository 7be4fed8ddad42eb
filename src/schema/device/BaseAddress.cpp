#include "schema/device/BaseAddress.h"

#include <cstdio>

#include "schema/base/Assert.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"

namespace Tessor::schema {

BaseAddress::BaseAddress(UsbDevice* device, int block, int page, int sector)
    : BaseData(device, "BaseAddress"), m_page(page), m_sector(sector)
{
    Sptr<DiskInfo> g = geometry();
    if (g && g->getBlocksPerChip() != 0) {
        splitDiskBlock(block);
    }
    init();
}

BaseAddress::BaseAddress(Sptr<BaseAddress> other) : BaseAddress(*other)
{
    m_children.clear();
    m_index = 0;
    m_address = Sptr<BaseAddress>();
}

BaseAddress::BaseAddress(Sptr<DiskInfo> geometry, int n) : BaseData("BaseAddress")
{
    m_diskInfo = geometry;
    int spp = geometry ? geometry->getSectorsPerPage() : 0;
    int ppb = geometry ? geometry->getPagesPerBlock() : 0;
    if (spp <= 0 || ppb <= 0) {
        m_sector = n;
    } else {
        m_sector = n % spp;
        m_page = (n / spp) % ppb;
        splitDiskBlock(n / (spp * ppb));
    }
    init();
}

BaseAddress::BaseAddress(const BaseAddress& other)
    : BaseData(other),
      m_chip(other.m_chip),
      m_block(other.m_block),
      m_page(other.m_page),
      m_sector(other.m_sector)
{
    init();
}

BaseAddress& BaseAddress::operator=(const BaseAddress& other)
{
    if (this != &other) {
        BaseData::operator=(other);
        // The fields only mean something against the geometry they were split by.
        m_device = other.m_device;
        m_diskInfo = other.m_diskInfo;
        m_chip = other.m_chip;
        m_block = other.m_block;
        m_page = other.m_page;
        m_sector = other.m_sector;
    }
    return *this;
}

BaseAddress::~BaseAddress() = default;

int BaseAddress::init()
{
    // A device-less address is fine as long as it was given a geometry.
    TESSOR_ASSERT(m_device != nullptr || m_diskInfo);
    return 0;
}

void BaseAddress::myLog()
{
    std::snprintf(m_logText, sizeof(m_logText), "%s(%d:%d:%d:%d(%d))", getName(), m_chip, m_block, m_page,
                  m_sector, getPhyAddress());
}

void BaseAddress::setBlockNo(int b)
{
    Sptr<DiskInfo> g = geometry();
    if (g && g->getBlocksPerChip() != 0) {
        splitDiskBlock(b);
    } else {
        m_chip = 0;
        m_block = b;
    }
}

int BaseAddress::getPhyAddress() const
{
    Sptr<DiskInfo> g = geometry();
    if (!g) {
        return m_sector;
    }
    return ((m_chip * g->getBlocksPerChip() + m_block) * g->getPagesPerBlock() + m_page) * g->getSectorsPerPage() +
           m_sector;
}

Sptr<DiskInfo> BaseAddress::geometry() const
{
    if (m_device != nullptr) {
        Sptr<DiskInfo> current = m_device->getDiskInfo();
        if (current) {
            return current;
        }
    }
    return m_diskInfo;
}

void BaseAddress::splitDiskBlock(int diskBlock)
{
    Sptr<DiskInfo> g = geometry();
    int bpc = g ? g->getBlocksPerChip() : 0;
    if (bpc <= 0) {
        m_chip = 0;
        m_block = diskBlock;
        return;
    }
    m_chip = diskBlock / bpc;
    m_block = diskBlock % bpc;
}

}  // namespace Tessor::schema
