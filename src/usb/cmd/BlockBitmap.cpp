#include "usb/cmd/BlockBitmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/PlaneInfo.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/SectorBitmap.h"

namespace Tessor::usb {

namespace {

// Photo-frame blocks are taken past the first good blocks of the flash.
constexpr int kReservedGoodBlocks = 11;

}  // namespace

BlockBitmap::BlockBitmap(SectorBitmap* sectorBitmap)
    : BaseCmdData(sectorBitmap->getDevice(), "BlockBitmap"),
      m_sectorBitmap(sectorBitmap),
      m_geometry(sectorBitmap->getGeometry())
{
    CPLOG(7, "constructing BlockBitmap.....");
    m_diskInfo = m_geometry.toDiskInfo();
    init();
}

int BlockBitmap::myInit()
{
    m_totalBlocks = m_geometry.totalBlocks();
    m_length = (m_totalBlocks + 7) / 8;
    CPLOG(7, "BlockBitmap with length of %d", m_length);
    if (int64_t(m_length) > int64_t(m_geometry.sectorsPerBlock()) * SECTOR_BYTES) {
        CPLOG(4, "Length of Block Bitmap is bigger than one block space");
    }
    return 0;
}

int BlockBitmap::myInitLater()
{
    setAsGood();
    return update(nullptr);
}

namespace {

int priorityOf(schema::UsbDevice* device)
{
    return device != nullptr ? device->getScanConfig()->getScanPriority() : 0;
}

}  // namespace

int BlockBitmap::update(schema::UsbDevice* device)
{
    return judgeBlocks(priorityOf(device));
}

int BlockBitmap::updateTLC(schema::UsbDevice* device)
{
    return judgeTlcBlocks(priorityOf(device));
}

// Judges blocks [firstBlock, firstBlock + blocks) on the first sectorsJudged
// sectors of each.
void BlockBitmap::judge(int firstBlock, int blocks, int64_t sectorsJudged)
{
    const unsigned char* sectors = m_sectorBitmap->getBitmap();
    for (int block = firstBlock; block < firstBlock + blocks; ++block) {
        if (BitRange::anySet(sectors, m_geometry.firstSectorOfBlock(block), sectorsJudged)) {
            BitRange::set(getBitmap(), block);
            ++m_badBlockCount;
        }
    }
}

int BlockBitmap::judgeBlocks(int priority)
{
    setAsGood();
    m_badBlockCount = 0;
    const int sectorsPerPage = m_geometry.sectorsPerPage;
    judge(0, m_totalBlocks, priority == 3 ? sectorsPerPage : m_geometry.sectorsPerBlock());
    return 0;
}

// Every chip holds R real blocks of P' real pages; the blocks past R only
// exist in the rounded geometry and are marked without counting as bad.
int BlockBitmap::judgeTlcBlocks(int priority)
{
    setAsGood();
    m_badBlockCount = 0;
    const int sectorsPerPage = m_geometry.sectorsPerPage;
    const int blocksPerChip = m_geometry.blocksPerChip;
    const int realBlocks = m_geometry.realBlocksPerChip;
    const int64_t judged = priority == 3 ? sectorsPerPage : int64_t(m_geometry.realPagesPerBlock) * sectorsPerPage;
    for (int chip = 0; chip < m_geometry.chips; ++chip) {
        judge(chip * blocksPerChip, realBlocks, judged);
        BitRange::fill(getBitmap(), int64_t(chip) * blocksPerChip + realBlocks, blocksPerChip - realBlocks, true);
    }
    return 0;
}

void BlockBitmap::setAsBad(int block)
{
    if (block < 0 || block >= m_totalBlocks) {
        CPLOG(3, "BlockBitmap: block %d is outside the flash", block);
        return;
    }
    BitRange::set(getBitmap(), block);
    ++m_badBlockCount;
}

bool BlockBitmap::isBad(int block) const
{
    return BitRange::test(getBitmap(), block);
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

Sptr<schema::BaseAddress> BlockBitmap::addressOf(int block, int sectorInBlock) const
{
    const int sectorsPerPage = m_geometry.sectorsPerPage;
    if (getDevice() != nullptr) {
        return Sptr<schema::BaseAddress>(
            new schema::BaseAddress(getDevice(), block, sectorInBlock / sectorsPerPage, sectorInBlock % sectorsPerPage));
    }
    return Sptr<schema::BaseAddress>(
        new schema::BaseAddress(m_diskInfo, static_cast<int>(m_geometry.firstSectorOfBlock(block) + sectorInBlock)));
}

// The block bitmap's own place: the first good sector of the block, which is
// then taken in both bitmaps.
Sptr<schema::BaseAddress> BlockBitmap::allocateAddresses(int block)
{
    const unsigned char* sectors = m_sectorBitmap->getBitmap();
    const int64_t first = m_geometry.firstSectorOfBlock(block);
    for (int sector = 0; sector < m_geometry.sectorsPerBlock(); ++sector) {
        if (!BitRange::test(sectors, first + sector)) {
            Sptr<schema::BaseAddress> address = addressOf(block, sector);
            setAsBad(block);
            setAddress(address);
            m_sectorBitmap->setAsBad(block);
            return address;
        }
    }
    return {};
}

Sptr<schema::BaseAddress> BlockBitmap::allocateBlockAddresses(int n)
{
    CPLOG(7, "allocate  BlockAddresses number %d:", n);
    Sptr<schema::BaseAddress> result = addressOf(0, 0);
    int goodSeen = 0;
    for (int block = 0; block < m_totalBlocks; ++block) {
        if (isBad(block) || goodSeen++ < kReservedGoodBlocks) {
            continue;
        }
        setAsBad(block);
        m_sectorBitmap->setAsBad(block);
        CPLOG(7, "allocate  BlockAddresses nBlockNo %d:", block);
        result->addData(addressOf(block, 0));
        if (result->getCount() >= n) {
            return result;
        }
    }
    CPLOG(4, "Address allocated failed : %d contunous blocks are needed", n);
    return {};
}

void BlockBitmap::fillSet(const Sptr<BlockSet>& set, int blocks, int pagesPerBlock, const char* lineFormat)
{
    for (int block = 0; block < blocks; ++block) {
        if (!isBad(block)) {
            CPLOG(8, lineFormat, block);
            set->addBlock(set->getBlocksCount(), block);
        }
    }
    set->setPagesCountEveryBlock(pagesPerBlock);
    set->setSectorCount(m_geometry.sectorsPerPage);
    set->setStartSector(0);
}

void BlockBitmap::addIntoBlockSet(const Sptr<BlockSet>& set)
{
    fillSet(set, m_totalBlocks, m_geometry.usablePages(), "add block NO = %d");
}

int BlockBitmap::addIntoBlockSetInSinglePlaneMode(const Sptr<BlockSet>& set, int planesPerChip, int groups)
{
    if (replaceBy(planesPerChip, groups, false) != 0) {
        return -1;
    }
    while (set->getBlocksCount() > 0) {
        set->removeBlock(set->getBlockNo(0));
    }
    fillSet(set, m_totalBlocks, m_geometry.pagesPerBlock, "load %d Block");
    return 0;
}

int BlockBitmap::addIntoBlockSetInMultiPlaneMode(const Sptr<BlockSet>& set, int planesPerChip, int groups)
{
    if (replaceBy(planesPerChip, groups, true) != 0) {
        return -1;
    }
    const int planes = planesPerChip * groups;
    fillSet(set, m_totalBlocks / planes, m_geometry.usablePages() * planes, "load %d Block");
    return 0;
}

int BlockBitmap::setToMultiPlane(schema::UsbDevice* device)
{
    Sptr<schema::PlaneInfo> plane = device->getCurrentPlaneInfo();
    TESSOR_ASSERT(plane);
    return replaceBy(plane->getPlanePerChip(), plane->getChipCounts() * plane->getInterleavePerChip(), true);
}

// The bitmap becomes its folded (multi-plane) or expanded (single-plane) form.
int BlockBitmap::replaceBy(int planesPerChip, int groups, bool fold)
{
    std::vector<char> converted(m_buffer.size(), 0);
    auto* out = reinterpret_cast<unsigned char*>(converted.data());
    const int result = fold ? singlePlane2MultiPlane(planesPerChip, groups, out)
                            : MultiPlane2singlePlane(planesPerChip, groups, out);
    if (result == 0) {
        m_buffer.swap(converted);
    }
    return result;
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
            bad = BitRange::anySet(getBitmap(), int64_t(k) * groupBlocks + int64_t(j) * planesPerChip, planesPerChip);
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

namespace {

constexpr uint32_t kBlockBitmapMagic = 0x6AA66AA6;
constexpr int kSectorHeaderBytes = 16;

void putLittleEndian(unsigned char* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

}  // namespace

// One sector next to the sector-bitmap image: two magics, the image header's
// sector number, 0, then as many bitmap bytes as fit.
int BlockBitmap::writeFlash(schema::UsbDevice* device)
{
    Sptr<schema::BaseAddress> own = getAddress();
    TESSOR_ASSERT(own);
    Sptr<schema::BaseAddress> image = m_sectorBitmap->getAddress();
    TESSOR_ASSERT(image);
    Sptr<schema::BaseAddress> header = image->getData(0);
    TESSOR_ASSERT(header);
    std::vector<unsigned char> sector(SECTOR_BYTES, 0xFF);
    putLittleEndian(sector.data(), kBlockBitmapMagic);
    putLittleEndian(sector.data() + 4, kBlockBitmapMagic);
    putLittleEndian(sector.data() + 8, static_cast<uint32_t>(header->getPhyAddress()));
    putLittleEndian(sector.data() + 12, 0);
    const int stored = std::min(m_length, SECTOR_BYTES - kSectorHeaderBytes);
    std::memcpy(sector.data() + kSectorHeaderBytes, getBitmap(), static_cast<size_t>(stored));
    if (device->writeFlashSectors(own, 1, sector.data()) != 0) {
        // The text is the system's own, though it names the wrong data.
        CPLOG(3, "Download external code to Flash failed on device %s on phyical address : %d", device->getName(),
            own->getSectorNo());
        return -1;
    }
    if (write() != 0) {
        CPLOG(4, "BlockBitmap : %s write to file failed", getFileName().c_str());
    }
    return 0;
}

}  // namespace Tessor::usb
