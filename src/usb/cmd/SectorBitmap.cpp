#include "usb/cmd/SectorBitmap.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/VException.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockBitmap.h"

namespace Tessor::usb {

namespace {

constexpr int kSectorBytes = 512;
constexpr int kL2Entries = 128;

int ceilDiv(int64_t value, int64_t divisor)
{
    return static_cast<int>((value + divisor - 1) / divisor);
}

}  // namespace

SectorBitmap::SectorBitmap(const BitmapGeometry& geometry, const std::string& name)
    : m_name(name), m_geometry(geometry)
{
    CPLOG(7, "constructing SectorBitmap.....");
    const std::string reason = geometry.unsupportedReason();
    if (!reason.empty()) {
        CPLOG(3, "%s: flash of %d chips x %d blocks x %d pages x %d sectors cannot be mapped: %s", name.c_str(),
            geometry.chips, geometry.blocksPerChip, geometry.pagesPerBlock, geometry.sectorsPerPage, reason.c_str());
        throw BitmapException("Bad blocks too much!", __FILE__, __LINE__, kBadBlocksTooMuch);
    }
    m_length = static_cast<int>((geometry.totalSectors() + 7) / 8);
    const int bitmapSectors = ceilDiv(m_length, kSectorBytes);
    m_l2SectorCount = ceilDiv(bitmapSectors, kL2Entries);
    m_imageSectorCount = 1 + m_l2SectorCount + bitmapSectors;
    m_headerBuffer.assign(static_cast<size_t>(m_l2SectorCount + 1) * kSectorBytes, 0xFF);
    CPLOG(7, "Sector Image with length of %d, need %d sectors to store it(%d for sector bitmap;%d for l2-table)",
        m_length, m_imageSectorCount, bitmapSectors, m_l2SectorCount);
    m_singlePlane.assign(static_cast<size_t>(bitmapSectors) * kSectorBytes, 0xFF);
    m_buffer = m_singlePlane.data();
    setAsGood();
    m_blockBitmap = Sptr<BlockBitmap>(new BlockBitmap(this));
    m_blockLists.resize(static_cast<size_t>(geometry.sectorsPerPage) * geometry.sectorsPerPage);
}

SectorBitmap::~SectorBitmap() = default;

void SectorBitmap::setAsGood()
{
    std::memset(m_buffer, 0, static_cast<size_t>(m_length));
}

int SectorBitmap::updateBitmap(const unsigned char* buffer, int length, int startSector)
{
    const int64_t byte = startSector / 8;
    if (startSector < 0 || length < 0 || byte + length > m_length) {
        CPLOG(3, "update sector bitmap at start sector %d with buffer length %d is out of range %d", startSector,
            length, m_length);
        return -1;
    }
    if (startSector % 8 != 0) {
        CPLOG(3, "update sector bitmap at start sector %d is not in the border of byte", startSector);
    }
    for (int i = 0; i < length; ++i) {
        m_buffer[byte + i] |= buffer[i];
    }
    return 0;
}

void SectorBitmap::setAsBad(int block)
{
    if (block < 0 || block >= m_geometry.totalBlocks()) {
        CPLOG(3, "%s: block %d is outside the flash", m_name.c_str(), block);
        return;
    }
    BitRange::fill(m_buffer, m_geometry.firstSectorOfBlock(block), m_geometry.sectorsPerBlock(), true);
}

unsigned char* SectorBitmap::getBitmapOfBlock(int block) const
{
    return m_buffer + static_cast<int64_t>(block) * getLength4BitmapOfBlock();
}

int SectorBitmap::getLength4BitmapOfBlock() const
{
    return m_geometry.sectorsPerBlock() / 8;
}

int SectorBitmap::getValideSectors() const
{
    return static_cast<int>(int64_t(m_length) * 8 - BitRange::countSet(m_buffer, 0, int64_t(m_length) * 8));
}

int SectorBitmap::update(int priority)
{
    if (priority == 3) {
        judgeFirstPages(m_geometry.dataPages());
    }
    const int64_t badTotal = applyWholeBlockRule(priority);
    applyWholePageRule(priority, badTotal);
    if (m_geometry.tlc) {
        m_blockBitmap->updateTLC(priority);
    } else {
        m_blockBitmap->update(priority);
    }
    return 0;
}

// The first page decides for every data page of the block.
void SectorBitmap::judgeFirstPages(int dataPages)
{
    const int sectorsPerPage = m_geometry.sectorsPerPage;
    for (int block = 0; block < m_geometry.totalBlocks(); ++block) {
        const int64_t first = m_geometry.firstSectorOfBlock(block);
        const bool bad = BitRange::anySet(m_buffer, first, sectorsPerPage);
        BitRange::fill(m_buffer, first, int64_t(sectorsPerPage) * dataPages, bad);
    }
}

// Returns the bad sectors counted before any block was marked.
int64_t SectorBitmap::applyWholeBlockRule(int priority)
{
    const int sectorsPerBlock = m_geometry.sectorsPerBlock();
    const int64_t limit = int64_t(sectorsPerBlock) * 90 / 100;
    int64_t total = 0;
    for (int block = 0; block < m_geometry.totalBlocks(); ++block) {
        const int64_t badSectors = BitRange::countSet(m_buffer, m_geometry.firstSectorOfBlock(block), sectorsPerBlock);
        total += badSectors;
        if (priority != 3 && badSectors > limit) {
            CPLOG(7, "badSectors = %d ", static_cast<int>(badSectors));
            setAsBad(block);
        }
    }
    return total;
}

void SectorBitmap::applyWholePageRule(int priority, int64_t badTotal)
{
    if (m_geometry.tlc) {
        if (badTotal < m_geometry.totalSectors() * 3 / 4) {
            applyTlcPageRule();
        }
        return;
    }
    if (priority != 2 || (m_geometry.sectorsPerPage != 4 && m_geometry.sectorsPerPage != 8)) {
        return;
    }
    const int64_t total = m_geometry.totalSectors();
    int64_t widenedBad = 0;
    for (int i = 0; i < m_length; ++i) {
        const unsigned char byte = m_buffer[i];
        if (m_geometry.sectorsPerPage == 8) {
            widenedBad += byte != 0 ? 8 : 0;
        } else {
            widenedBad += ((byte & 0x0F) != 0 ? 4 : 0) + ((byte & 0xF0) != 0 ? 4 : 0);
        }
    }
    const bool plausible =
        (widenedBad <= badTotal * 11 / 10 || total - widenedBad > total * 8 / 10) && widenedBad <= total * 3 / 5;
    if (plausible) {
        widenBadPages();
    }
}

// A page of 4 or 8 sectors with one bad sector is wholly bad.
void SectorBitmap::widenBadPages()
{
    for (int i = 0; i < m_length; ++i) {
        unsigned char& byte = m_buffer[i];
        if (m_geometry.sectorsPerPage == 8) {
            byte = byte != 0 ? 0xFF : 0x00;
        } else {
            byte = static_cast<unsigned char>(((byte & 0x0F) != 0 ? 0x0F : 0) | ((byte & 0xF0) != 0 ? 0xF0 : 0));
        }
    }
}

// TLC: a bad sector in the data pages condemns the block, and the pages past
// the data pages are never used. Judged on the result before it is applied.
void SectorBitmap::applyTlcPageRule()
{
    const int spanBytes = getLength4BitmapOfBlock();
    const int64_t dataSectors = int64_t(m_geometry.sectorsPerPage) * m_geometry.dataPages();
    const int64_t spanSectors = m_geometry.sectorsPerBlock();
    std::vector<unsigned char> span(static_cast<size_t>(spanBytes));
    auto ruledSpan = [&](int block) {
        const unsigned char* original = getBitmapOfBlock(block);
        if (BitRange::anySet(original, 0, dataSectors)) {
            std::fill(span.begin(), span.end(), 0xFF);
        } else {
            std::copy(original, original + spanBytes, span.begin());
            BitRange::fill(span.data(), dataSectors, spanSectors - dataSectors, true);
        }
    };
    int64_t nonZeroBytes = 0;
    for (int block = 0; block < m_geometry.totalBlocks(); ++block) {
        ruledSpan(block);
        nonZeroBytes += std::count_if(span.begin(), span.end(), [](unsigned char b) { return b != 0; });
    }
    if (nonZeroBytes * 8 >= m_geometry.totalSectors() * 3 / 4) {
        return;
    }
    for (int block = 0; block < m_geometry.totalBlocks(); ++block) {
        ruledSpan(block);
        std::copy(span.begin(), span.end(), getBitmapOfBlock(block));
    }
}

void SectorBitmap::setupList()
{
    const int sectorsPerPage = m_geometry.sectorsPerPage;
    for (auto& list : m_blockLists) {
        list.clear();
    }
    std::vector<int> matrix(static_cast<size_t>(sectorsPerPage) * sectorsPerPage);
    for (int block = 0; block < m_geometry.totalBlocks(); ++block) {
        std::fill(matrix.begin(), matrix.end(), 0);
        parseOneBlock(matrix.data(), getLength4BitmapOfBlock(), getBitmapOfBlock(block),
            static_cast<unsigned short>(sectorsPerPage));
        for (size_t cell = 0; cell < matrix.size(); ++cell) {
            if (matrix[cell] > 0) {
                m_blockLists[cell].push_back(_BLOCK_NODE{block, matrix[cell]});
            }
        }
    }
    for (int row = 0; row < sectorsPerPage; ++row) {
        for (int col = 0; col < sectorsPerPage; ++col) {
            const auto& list = m_blockLists[static_cast<size_t>(row) * sectorsPerPage + col];
            if (!list.empty()) {
                CPLOG(7, " BlockList row =%d ,col = %d,BlockCount %d", row, col, static_cast<int>(list.size()));
            }
        }
    }
}

// Fills matrix[s][l - 1] with the pages whose sectors s .. s + l - 1 are all good.
int SectorBitmap::parseOneBlock(
    int* matrix, int blockBytes, const unsigned char* blockBits, unsigned short sectorsPerPage) const
{
    TESSOR_ASSERT(blockBytes % 2 == 0);
    const int pagesPerWord = 16 / sectorsPerPage;
    const unsigned pageMask = (1u << sectorsPerPage) - 1u;
    for (int i = 0; i < blockBytes; i += 2) {
        unsigned word = blockBits[i] | (static_cast<unsigned>(blockBits[i + 1]) << 8);
        for (int page = 0; page < pagesPerWord; ++page) {
            parseSectBitmapOfPage(static_cast<unsigned short>(word & pageMask), matrix, sectorsPerPage);
            word >>= sectorsPerPage;
        }
    }
    // Maximal runs so far; every run also holds each shorter run inside it.
    const int s = sectorsPerPage;
    for (int r = s - 2; r >= 0; --r) {
        for (int j = 1; j <= s - r - 1; ++j) {
            const int runs = matrix[r * s + j];
            if (runs == 0) {
                continue;
            }
            for (int i = 0; i < j; ++i) {
                for (int t = 0; t <= j - i; ++t) {
                    matrix[(r + t) * s + i] += runs;
                }
            }
        }
    }
    return 0;
}

void SectorBitmap::parseSectBitmapOfPage(unsigned short pageBits, int* matrix, int sectorsPerPage) const
{
    int sector = 0;
    while (sector < sectorsPerPage) {
        if ((pageBits >> sector) & 1u) {
            ++sector;
            continue;
        }
        const int start = sector;
        while (sector < sectorsPerPage && ((pageBits >> sector) & 1u) == 0) {
            ++sector;
        }
        ++matrix[start * sectorsPerPage + (sector - start - 1)];
    }
}

int SectorBitmap::setToMultiPlane(int planesPerChip, int groups)
{
    if (m_multiPlane.empty()) {
        m_multiPlane.resize(m_singlePlane.size());
    }
    if (singlePlane2MultiPlane(planesPerChip, groups, m_multiPlane.data()) != 0) {
        return -1;
    }
    m_buffer = m_multiPlane.data();
    return 0;
}

void SectorBitmap::setToSinglePlane()
{
    m_buffer = m_singlePlane.data();
}

// A multi-plane block is bad wherever any of the single-plane blocks it
// combines is bad.
int SectorBitmap::singlePlane2MultiPlane(int planesPerChip, int groups, unsigned char* out) const
{
    const int blocks = m_geometry.totalBlocks();
    if (planesPerChip <= 0 || groups <= 0 || blocks % (planesPerChip * groups) != 0) {
        CPLOG(3, "%s: %d blocks cannot be seen as %d planes in %d groups", m_name.c_str(), blocks, planesPerChip,
            groups);
        return -1;
    }
    const int spanBytes = getLength4BitmapOfBlock();
    const int groupBlocks = blocks / groups;
    const int multiBlocks = blocks / (planesPerChip * groups);
    const unsigned char* single = m_singlePlane.data();
    std::memset(out, 0xFF, static_cast<size_t>(m_length));
    std::memset(out, 0x00, static_cast<size_t>(multiBlocks) * spanBytes);
    for (int m = 0; m < multiBlocks; ++m) {
        unsigned char* target = out + static_cast<int64_t>(m) * spanBytes;
        for (int k = 0; k < groups; ++k) {
            for (int i = 0; i < planesPerChip; ++i) {
                const unsigned char* source =
                    single + static_cast<int64_t>(k * groupBlocks + m * planesPerChip + i) * spanBytes;
                for (int byte = 0; byte < spanBytes; ++byte) {
                    target[byte] |= source[byte];
                }
            }
        }
    }
    CPLOG(7, "totalPlanes = %d,planeCount = %d,interleaveCount=%d,pagePerBlk=%d,secPerPage=%d,totalBlks=%d",
        planesPerChip * groups, planesPerChip, groups, m_geometry.pagesPerBlock, m_geometry.sectorsPerPage, blocks);
    return 0;
}

}  // namespace Tessor::usb
