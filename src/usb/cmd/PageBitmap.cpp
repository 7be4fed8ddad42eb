#include "usb/cmd/PageBitmap.h"

#include <cstring>

#include "schema/base/Log.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/SectorBitmap.h"

namespace Tessor::usb {

namespace {

constexpr int kSectorBytes = 512;

int ceilDiv(int64_t value, int64_t divisor)
{
    return static_cast<int>((value + divisor - 1) / divisor);
}

}  // namespace

PageBitmap::PageBitmap(const BitmapGeometry& geometry) : m_geometry(geometry)
{
    CPLOG(7, "%s init", "PageBitmap");
    m_length = ceilDiv(int64_t(geometry.totalBlocks()) * geometry.pagesPerBlock, 8);
    CPLOG(7, "Length of Page Bitmap is %d bytes", m_length);
    m_bits.assign(static_cast<size_t>(ceilDiv(m_length, kSectorBytes)) * kSectorBytes, 0xFF);
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
        BitRange::fill(m_bits.data(), int64_t(block) * m_geometry.pagesPerBlock, m_geometry.usablePages(), false);
    }
}

void PageBitmap::updatePageBitmapFromBlockSet(const Sptr<BlockSet>& set, int planes)
{
    m_length = static_cast<int>(int64_t(m_geometry.totalBlocks()) * m_geometry.pagesPerBlock / 8 / planes);
    std::memset(m_bits.data(), 0xFF, static_cast<size_t>(m_length));
    for (int i = 0; i < set->getBlocksCount(); ++i) {
        releaseBlock(set->getBlockNo(i));
    }
}

int PageBitmap::addBlockSet(const Sptr<BlockSet>& set, const SectorBitmap& sectorBitmap)
{
    ++m_blockSetCount;
    const int sectorsPerPage = m_geometry.sectorsPerPage;
    const unsigned mask = ((1u << set->getSectorCount()) - 1u) << set->getStartSector();
    const int wanted = set->getPagesCountEveryBlock();
    for (int i = 0; i < set->getBlocksCount(); ++i) {
        const int block = set->getBlockNo(i);
        if (!holdsBlock(block)) {
            return 0;
        }
        const int64_t firstSector = m_geometry.firstSectorOfBlock(block);
        int count = 0;
        for (int page = 0; page < m_geometry.pagesPerBlock && count < wanted; ++page) {
            const unsigned sectors = BitRange::readWord(
                sectorBitmap.getBuffer(), firstSector + int64_t(page) * sectorsPerPage, sectorsPerPage);
            if ((sectors & mask) == 0) {
                BitRange::clear(m_bits.data(), int64_t(block) * m_geometry.pagesPerBlock + page);
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
    const int64_t pageBytes = int64_t(set->getSectorCount()) * kSectorBytes;
    const int64_t blockBytes = pageBytes * set->getPagesCountEveryBlock();
    if (blockBytes <= 0) {
        CPLOG(3, "Page Bitmap cannot be stored in an empty block set");
        return -1;
    }
    m_blocksNeeded = ceilDiv(m_length, blockBytes);
    m_pagesNeeded = ceilDiv(m_length, pageBytes);
    if (m_blocksNeeded > kPageBitmapMaxBlocks) {
        CPLOG(0, "Page Bitmap is too big, and 16 block in blockset 0 can not store it");
        return -1;
    }
    CPLOG(7, "Page Bitmap need %d block in the blockset0 to stored", m_blocksNeeded);
    return 0;
}

unsigned char* PageBitmap::getPageBitmapOfBlock(int block)
{
    return m_bits.data() + int64_t(block) * m_geometry.pagesPerBlock / 8;
}

int PageBitmap::findFreePageInBlock(int block) const
{
    return findFreePage(block, 0);
}

int PageBitmap::findFreePage(int block, int n) const
{
    const int64_t first = int64_t(block) * m_geometry.pagesPerBlock;
    if (block < 0 || first + m_geometry.pagesPerBlock > int64_t(m_bits.size()) * 8) {
        return -1;
    }
    for (int page = 0; page < m_geometry.pagesPerBlock; ++page) {
        if (!BitRange::test(m_bits.data(), first + page) && n-- == 0) {
            return page;
        }
    }
    return -1;
}

}  // namespace Tessor::usb
