#include "usb/cmd/PageBitmap.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/SectorBitmap.h"

namespace Tessor::usb {

namespace {

}  // namespace

PageBitmap::PageBitmap(schema::UsbDevice* device)
    : BaseCmdData(device, "PageBitmap"), m_geometry(BitmapGeometry::ofDevice(device))
{
    init();
}

PageBitmap::PageBitmap(const BitmapGeometry& geometry) : BaseCmdData("PageBitmap"), m_geometry(geometry)
{
    m_diskInfo = geometry.toDiskInfo();
    init();
}

int PageBitmap::myInit()
{
    CPLOG(7, "%s init", getName());
    m_length = ceilDivide(int64_t(m_geometry.totalBlocks()) * m_geometry.pagesPerBlock, 8);
    CPLOG(7, "Length of Page Bitmap is %d bytes", m_length);
    m_blockSetCount = 0;
    m_blocksNeeded = 0;
    m_pagesNeeded = 0;
    return 0;
}

bool PageBitmap::holdsBlock(int block) const
{
    if (block >= 0 && (int64_t(block) + 1) * m_geometry.pagesPerBlock <= int64_t(m_length) * 8) {
        return true;
    }
    CPLOG(3, "Page Bitmap of %d bytes has no place for block %d", m_length, block);
    return false;
}

void PageBitmap::releaseBlock(int block)
{
    if (holdsBlock(block)) {
        // TLC blocks have only their real pages.
        BitRange::fill(getBitmap(), int64_t(block) * m_geometry.pagesPerBlock, m_geometry.usablePages(), false);
    }
}

void PageBitmap::updatePageBitmapFromBlockSet(const Sptr<BlockSet>& set, int planes)
{
    if (planes < 1) {
        CPLOG(3, "Page Bitmap cannot be laid out for %d planes", planes);
        return;
    }
    m_length = static_cast<int>(int64_t(m_geometry.totalBlocks()) * m_geometry.pagesPerBlock / 8 / planes);
    std::memset(getBitmap(), 0xFF, static_cast<size_t>(m_length));
    for (int block : set->getBlocks()) {
        releaseBlock(block);
    }
}

int PageBitmap::addBlockSet(const Sptr<BlockSet>& set, const SectorBitmap& sectorBitmap)
{
    ++m_blockSetCount;
    const int sectorsPerPage = m_geometry.sectorsPerPage;
    const unsigned mask = ((1u << set->getSectorCount()) - 1u) << set->getStartSector();
    const int wanted = set->getPagesCountEveryBlock();
    for (int block : set->getBlocks()) {
        if (!holdsBlock(block)) {
            return 0;
        }
        const int64_t firstSector = m_geometry.firstSectorOfBlock(block);
        int count = 0;
        for (int page = 0; page < m_geometry.pagesPerBlock && count < wanted; ++page) {
            const unsigned sectors = BitRange::readWord(
                sectorBitmap.getBitmap(), firstSector + int64_t(page) * sectorsPerPage, sectorsPerPage);
            if ((sectors & mask) == 0) {
                BitRange::clear(getBitmap(), int64_t(block) * m_geometry.pagesPerBlock + page);
                ++count;
            }
        }
        if (count != wanted) {
            CPLOG(3, "validate pages %d(%d) at BlockNO %d", count, wanted, block);
            return 0;
        }
    }
    return 1;
}

int PageBitmap::storeInBlockSet(const Sptr<BlockSet>& set)
{
    const int64_t pageBytes = int64_t(set->getSectorCount()) * SECTOR_BYTES;
    const int64_t blockBytes = pageBytes * set->getPagesCountEveryBlock();
    if (blockBytes <= 0) {
        CPLOG(3, "Page Bitmap cannot be stored in an empty block set");
        return -1;
    }
    m_sectorsPerStoredPage = set->getSectorCount();
    m_blocksNeeded = ceilDivide(m_length, blockBytes);
    m_pagesNeeded = ceilDivide(m_length, pageBytes);
    if (m_blocksNeeded > kPageBitmapMaxBlocks) {
        CPLOG(0, "Page Bitmap is too big, and 16 block in blockset 0 can not store it");
        return -1;
    }
    CPLOG(7, "Page Bitmap need %d block in the blockset0 to stored", m_blocksNeeded);
    return 0;
}

unsigned char* PageBitmap::getPageBitmapOfBlock(int block)
{
    return getBitmap() + int64_t(block) * m_geometry.pagesPerBlock / 8;
}

int PageBitmap::findFreePageInBlock(int block) const
{
    return findFreePage(block, 0);
}

int PageBitmap::findFreePage(int block, int n) const
{
    const int64_t first = int64_t(block) * m_geometry.pagesPerBlock;
    if (block < 0 || first + m_geometry.pagesPerBlock > int64_t(m_buffer.size()) * 8) {
        return -1;
    }
    for (int page = 0; page < m_geometry.pagesPerBlock; ++page) {
        if (!BitRange::test(getBitmap(), first + page) && n-- == 0) {
            return page;
        }
    }
    return -1;
}

int PageBitmap::checkReservedPages(bool strict) const
{
    Sptr<schema::BaseAddress> own = m_address;
    TESSOR_ASSERT(own);
    const int reserved = own->getCount();
    if (m_pagesNeeded != reserved || m_sectorsPerStoredPage <= 0) {
        CPLOG(3, "%d pages are need for page bitmap, but only %d pages has been allocated", m_pagesNeeded, reserved);
        if (strict || m_sectorsPerStoredPage <= 0) {
            return -1;
        }
    } else {
        CPLOG(7, "%d pages are allocated for page bitmap", reserved);
    }
    return 0;
}

// Each block of the reserved pages is erased once, before its first page;
// a block met again later keeps what was written to it.
int PageBitmap::writeFlash(schema::UsbDevice* device)
{
    if (checkReservedPages(true) != 0) {
        return -1;
    }
    const int perPage = m_sectorsPerStoredPage;
    int sectorsLeft = ceilDivide(m_length, SECTOR_BYTES);
    std::set<std::pair<int, int>> erased;
    const unsigned char* data = getBitmap();
    Sptr<schema::BaseData> child;
    while (sectorsLeft > 0 && (child = m_address->getNextData(child))) {
        Sptr<schema::BaseAddress> page = child;
        TESSOR_ASSERT(page);
        const int count = std::min(sectorsLeft, perPage);
        sectorsLeft -= perPage;
        if (erased.insert({page->getChipNo(), page->getBlockNo()}).second) {
            if (device->eraseOneBlock(page) != 0) {
                CPLOG(3, "Erase Block on %d for Page Bitmap of device %s Failed", page->getBlockNo(),
                    device->getName());
                return -1;
            }
        }
        CPLOG(7, "Write Page Bitmap at %s", page->logData());
        if (device->writeFlashSectors(page, static_cast<unsigned char>(count), data) != 0) {
            CPLOG(3, "Write Page Bitmap to Flash failed on device %s on phyical address : %d", device->getName(),
                page->getPhyAddress());
            return -1;
        }
        data += perPage * SECTOR_BYTES;
    }
    return 0;
}

int PageBitmap::validateFlash(schema::UsbDevice* device)
{
    if (checkReservedPages(false) != 0) {
        return -1;
    }
    const int perPage = m_sectorsPerStoredPage;
    int sectorsLeft = ceilDivide(m_length, SECTOR_BYTES);
    const unsigned char* data = getBitmap();
    Sptr<schema::BaseData> child;
    for (int position = 0; sectorsLeft > 0 && (child = m_address->getNextData(child)); ++position) {
        Sptr<schema::BaseAddress> page = child;
        TESSOR_ASSERT(page);
        const int count = std::min(sectorsLeft, perPage);
        sectorsLeft -= perPage;
        const unsigned char* read = device->readFlashSectors(page, count);
        if (read == nullptr) {
            CPLOG(3, "Read Page Bitmap from Flash failed on device %s on phyical address : %d", device->getName(),
                page->getPhyAddress());
            return -1;
        }
        if (std::memcmp(read, data, static_cast<size_t>(count) * SECTOR_BYTES) != 0) {
            CPLOG(3, "Page Bitmap on No. %d page validate failed", position);
            schema::SystemInfo::debugBuffer(read, SECTOR_BYTES, "Read out Page-Bitmap");
            return -1;
        }
        CPLOG(5, "Page Bitmap on No.%d page validate OK", position);
        data += perPage * SECTOR_BYTES;
    }
    return 0;
}

}  // namespace Tessor::usb
