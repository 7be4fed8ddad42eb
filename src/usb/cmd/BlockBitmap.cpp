#include "usb/cmd/BlockBitmap.h"

#include <cstring>

#include "schema/base/Log.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/SectorBitmap.h"

namespace Tessor::usb {

namespace {

// Photo-frame blocks are taken past these good blocks, which the system area uses.
constexpr int kReservedGoodBlocks = 11;

}  // namespace

BlockBitmap::BlockBitmap(SectorBitmap* sectorBitmap)
    : m_sectorBitmap(sectorBitmap), m_geometry(sectorBitmap->getGeometry())
{
    CPLOG(7, "constructing BlockBitmap.....");
    m_totalBlocks = m_geometry.totalBlocks();
    m_length = (m_totalBlocks + 7) / 8;
    m_spanBytes = m_geometry.sectorsPerBlock() / 8;
    CPLOG(7, "BlockBitmap with length of %d", m_length);
    if (int64_t(m_length) > int64_t(m_geometry.sectorsPerBlock()) * 512) {
        CPLOG(4, "Length of Block Bitmap is bigger than one block space");
    }
    m_bits.assign(static_cast<size_t>((m_length + 511) / 512) * 512, 0xFF);
    setAsGood();
    update(0);
}

void BlockBitmap::setAsGood()
{
    std::memset(m_bits.data(), 0, static_cast<size_t>(m_length));
}

// Judges blocks [firstBlock, firstBlock + blocks) on the first sectorsJudged
// sectors of each.
void BlockBitmap::judge(int firstBlock, int blocks, int64_t sectorsJudged)
{
    const unsigned char* sectors = m_sectorBitmap->getBuffer();
    for (int block = firstBlock; block < firstBlock + blocks; ++block) {
        if (BitRange::anySet(sectors, m_geometry.firstSectorOfBlock(block), sectorsJudged)) {
            BitRange::set(m_bits.data(), block);
            ++m_badBlockCount;
        }
    }
}

int BlockBitmap::update(int priority)
{
    setAsGood();
    m_badBlockCount = 0;
    const int sectorsPerPage = m_geometry.sectorsPerPage;
    judge(0, m_totalBlocks, priority == 3 ? sectorsPerPage : m_geometry.sectorsPerBlock());
    return 0;
}

// Every chip holds R real blocks of P' real pages; the blocks past R only
// exist in the rounded geometry and are marked without counting as bad.
int BlockBitmap::updateTLC(int priority)
{
    setAsGood();
    m_badBlockCount = 0;
    const int sectorsPerPage = m_geometry.sectorsPerPage;
    const int blocksPerChip = m_geometry.blocksPerChip;
    const int realBlocks = m_geometry.realBlocksPerChip;
    const int64_t judged = priority == 3 ? sectorsPerPage : int64_t(m_geometry.realPagesPerBlock) * sectorsPerPage;
    for (int chip = 0; chip < m_geometry.chips; ++chip) {
        judge(chip * blocksPerChip, realBlocks, judged);
        BitRange::fill(m_bits.data(), int64_t(chip) * blocksPerChip + realBlocks, blocksPerChip - realBlocks, true);
    }
    return 0;
}

void BlockBitmap::setAsBad(int block)
{
    if (block < 0 || block >= m_totalBlocks) {
        CPLOG(3, "BlockBitmap: block %d is outside the flash", block);
        return;
    }
    BitRange::set(m_bits.data(), block);
    ++m_badBlockCount;
}

bool BlockBitmap::isBad(int block) const
{
    return BitRange::test(m_bits.data(), block);
}

int BlockBitmap::findFirstFreeBlock() const
{
    for (int block = 0; block < m_totalBlocks; ++block) {
        if (!isBad(block)) {
            return block;
        }
    }
    return -1;
}

int BlockBitmap::allocateSector(int block)
{
    const unsigned char* sectors = m_sectorBitmap->getBuffer();
    const int64_t first = m_geometry.firstSectorOfBlock(block);
    for (int sector = 0; sector < m_geometry.sectorsPerBlock(); ++sector) {
        if (!BitRange::test(sectors, first + sector)) {
            setAsBad(block);
            m_sectorBitmap->setAsBad(block);
            return sector;
        }
    }
    return -1;
}

std::vector<int> BlockBitmap::allocateBlocks(int n)
{
    CPLOG(7, "allocate  BlockAddresses number %d:", n);
    std::vector<int> taken;
    int goodSeen = 0;
    for (int block = 0; block < m_totalBlocks; ++block) {
        if (isBad(block) || goodSeen++ < kReservedGoodBlocks) {
            continue;
        }
        setAsBad(block);
        m_sectorBitmap->setAsBad(block);
        CPLOG(7, "allocate  BlockAddresses nBlockNo %d:", block);
        taken.push_back(block);
        if (static_cast<int>(taken.size()) >= n) {
            return taken;
        }
    }
    CPLOG(4, "Address allocated failed : %d contunous blocks are needed", n);
    return {};
}

void BlockBitmap::fillSet(const Sptr<BlockSet>& set, int blocks, int pagesPerBlock)
{
    for (int block = 0; block < blocks; ++block) {
        if (!isBad(block)) {
            CPLOG(7, "load %d Block", block);
            set->addBlock(set->getBlocksCount(), block);
        }
    }
    set->setPagesCountEveryBlock(pagesPerBlock);
    set->setSectorCount(m_geometry.sectorsPerPage);
    set->setStartSector(0);
}

void BlockBitmap::addIntoBlockSet(const Sptr<BlockSet>& set)
{
    fillSet(set, m_totalBlocks, m_geometry.usablePages());
}

int BlockBitmap::addIntoBlockSetInSinglePlaneMode(const Sptr<BlockSet>& set, int planesPerChip, int groups)
{
    std::vector<unsigned char> expanded(m_bits.size(), 0);
    if (MultiPlane2singlePlane(planesPerChip, groups, expanded.data()) != 0) {
        return -1;
    }
    while (set->getBlocksCount() > 0) {
        set->removeBlock(set->getBlockNo(0));
    }
    m_bits = std::move(expanded);
    fillSet(set, m_totalBlocks, m_geometry.pagesPerBlock);
    return 0;
}

int BlockBitmap::addIntoBlockSetInMultiPlaneMode(const Sptr<BlockSet>& set, int planesPerChip, int groups)
{
    if (setToMultiPlane(planesPerChip, groups) != 0) {
        return -1;
    }
    const int planes = planesPerChip * groups;
    fillSet(set, m_totalBlocks / planes, m_geometry.usablePages() * planes);
    return 0;
}

int BlockBitmap::setToMultiPlane(int planesPerChip, int groups)
{
    std::vector<unsigned char> folded(m_bits.size(), 0);
    if (singlePlane2MultiPlane(planesPerChip, groups, folded.data()) != 0) {
        return -1;
    }
    m_bits = std::move(folded);
    return 0;
}

bool BlockBitmap::planesFit(int planesPerChip, int groups) const
{
    if (planesPerChip > 0 && groups > 0 && m_totalBlocks % (planesPerChip * groups) == 0) {
        return true;
    }
    CPLOG(3, "BlockBitmap: %d blocks cannot be seen as %d planes in %d groups", m_totalBlocks, planesPerChip, groups);
    return false;
}

// Multi-plane block j is bad when a block of its a planes is bad in any group.
int BlockBitmap::singlePlane2MultiPlane(int planesPerChip, int groups, unsigned char* out) const
{
    if (!planesFit(planesPerChip, groups)) {
        return -1;
    }
    const int groupBlocks = m_totalBlocks / groups;
    const int multiBlocks = groupBlocks / planesPerChip;
    BitRange::fill(out, 0, int64_t(m_length) * 8, true);
    BitRange::fill(out, 0, multiBlocks, false);
    for (int j = 0; j < multiBlocks; ++j) {
        bool bad = false;
        for (int k = 0; k < groups && !bad; ++k) {
            bad = BitRange::anySet(m_bits.data(), int64_t(k) * groupBlocks + int64_t(j) * planesPerChip, planesPerChip);
        }
        if (bad) {
            BitRange::set(out, j);
        }
    }
    CPLOG(7, "totalPlanes = %d,planeCount = %d,interleaveCount=%d,pagePerBlk=%d,secPerPage=%d,totalBlks=%d",
        planesPerChip * groups, planesPerChip, groups, m_geometry.pagesPerBlock, m_geometry.sectorsPerPage,
        m_totalBlocks);
    return 0;
}

// Every single-plane block of a bad multi-plane block is bad, in every group.
int BlockBitmap::MultiPlane2singlePlane(int planesPerChip, int groups, unsigned char* out) const
{
    if (!planesFit(planesPerChip, groups)) {
        return -1;
    }
    const int groupBlocks = m_totalBlocks / groups;
    const int multiBlocks = groupBlocks / planesPerChip;
    std::memset(out, 0, static_cast<size_t>(m_length));
    for (int k = 0; k < groups; ++k) {
        for (int u = 0; u < multiBlocks; ++u) {
            if (isBad(u)) {
                BitRange::fill(out, int64_t(k) * groupBlocks + int64_t(u) * planesPerChip, planesPerChip, true);
            }
        }
    }
    return 0;
}

}  // namespace Tessor::usb
