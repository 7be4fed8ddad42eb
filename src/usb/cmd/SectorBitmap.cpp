#include "usb/cmd/SectorBitmap.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "platform/taval/Taval.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/VException.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/PlaneInfo.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "schema/device/VersionInfo.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockBitmap.h"

namespace Tessor::usb {

namespace {

constexpr int kL2Entries = 128;
constexpr unsigned kSmallPageFirmware = 0xF0;

}  // namespace

SectorBitmap::SectorBitmap(schema::UsbDevice* device, const std::string& name)
    : BaseCmdData(device, name), m_geometry(BitmapGeometry::ofDevice(device))
{
    CPLOG(7, "constructing SectorBitmap.....");
    init();
}

SectorBitmap::SectorBitmap(const BitmapGeometry& geometry, const std::string& name)
    : BaseCmdData(name), m_geometry(geometry)
{
    CPLOG(7, "constructing SectorBitmap.....");
    m_diskInfo = geometry.toDiskInfo();
    init();
}

SectorBitmap::~SectorBitmap() = default;

int SectorBitmap::myInit()
{
    const std::string reason = m_geometry.unsupportedReason();
    if (!reason.empty()) {
        CPLOG(3, "%s cannot map a flash of %d chips x %d blocks x %d pages x %d sectors: %s", getName(),
            m_geometry.chips, m_geometry.blocksPerChip, m_geometry.pagesPerBlock, m_geometry.sectorsPerPage,
            reason.c_str());
        throw BitmapException("The sector bitmap cannot map this device: " + reason, __FILE__, __LINE__,
            schema::DeviceCode::SCAN_BITMAP_FAILED);
    }
    const int length = static_cast<int>((m_geometry.totalSectors() + 7) / 8);
    const int bitmapSectors = ceilDivide(length, SECTOR_BYTES);
    m_l2SectorCount = ceilDivide(bitmapSectors, kL2Entries);
    m_imageSectorCount = 1 + m_l2SectorCount + bitmapSectors;
    m_headerBuffer.assign(static_cast<size_t>(m_l2SectorCount + 1) * SECTOR_BYTES, 0xFF);
    CPLOG(7, "Sector Image with length of %d, need %d sectors to store it(%d for sector bitmap;%d for l2-table)",
        length, m_imageSectorCount, bitmapSectors, m_l2SectorCount);
    m_length = length;
    return 0;
}

int SectorBitmap::myInitLater()
{
    setAsGood();
    m_blockBitmap = Sptr<BlockBitmap>(new BlockBitmap(this));
    m_blockLists.assign(static_cast<size_t>(m_geometry.sectorsPerPage) * m_geometry.sectorsPerPage, {});
    return 0;
}

int SectorBitmap::readOutDataFromFile(const std::string& fileName)
{
    const int size = usbGetFileSize(fileName.c_str());
    if (size < 1) {
        CPLOG(3, "File '%s' is not exist", fileName.c_str());
        return -1;
    }
    const int wanted = std::min(size, m_length);
    // The sample file's text is the system's own for this read too.
    if (usbReadFile(fileName.c_str(), m_buffer.data(), wanted, 0) != wanted) {
        CPLOG(4, "Read scan sample file '%s' failed", fileName.c_str());
        return -1;
    }
    m_blockBitmap = Sptr<BlockBitmap>(new BlockBitmap(this));
    CPLOG(7, " Read Sector Bit Map From File %s ", fileName.c_str());
    return getDevice() != nullptr ? update(getDevice()) : 0;
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
    unsigned char* bits = getBitmap();
    for (int i = 0; i < length; ++i) {
        bits[byte + i] |= buffer[i];
    }
    return 0;
}

int SectorBitmap::updateBitmap(const unsigned char* pageBits, int length, Sptr<schema::BaseAddress> pages)
{
    TESSOR_ASSERT(pageBits != nullptr && pages);
    const int sectorsPerPage = m_geometry.sectorsPerPage;
    const int pagesPerWord = 16 / sectorsPerPage;
    const unsigned pageMask = (1u << sectorsPerPage) - 1u;
    const int64_t total = m_geometry.totalSectors();
    // Small-page firmware only ever reports failures; the others report every page.
    const bool orOnly = getDevice() != nullptr && getDevice()->getVersion() &&
                        getDevice()->getVersion()->getVersionNumber() == kSmallPageFirmware;
    Sptr<schema::BaseData> child;
    for (int word = 0; word < length / 2; ++word) {
        unsigned bits = pageBits[2 * word] | (static_cast<unsigned>(pageBits[2 * word + 1]) << 8);
        for (int page = 0; page < pagesPerWord; ++page, bits >>= sectorsPerPage) {
            child = pages->getNextData(child);
            Sptr<schema::BaseAddress> address = child;
            if (!address) {
                return 0;
            }
            const int64_t sector = address->getPhyAddress();
            if (sector < 0 || sector >= total) {
                CPLOG(7, "total chipNO=%d,block =%d,Block =%d", m_geometry.chips, m_geometry.blocksPerChip,
                    m_geometry.totalBlocks());
                CPLOG(3, "sectorNo(%d) is bigger than the totalSectors(%d)", static_cast<int>(sector),
                    static_cast<int>(total));
                return 0;
            }
            const unsigned result = bits & pageMask;
            for (int s = 0; s < sectorsPerPage; ++s) {
                if ((result >> s) & 1u) {
                    BitRange::set(getBitmap(), sector + s);
                } else if (!orOnly) {
                    BitRange::clear(getBitmap(), sector + s);
                }
            }
        }
    }
    return 0;
}

void SectorBitmap::setAsBad(int block)
{
    if (block < 0 || block >= m_geometry.totalBlocks()) {
        CPLOG(3, "%s: block %d is outside the flash", m_name.c_str(), block);
        return;
    }
    BitRange::fill(getBitmap(), m_geometry.firstSectorOfBlock(block), m_geometry.sectorsPerBlock(), true);
}

unsigned char* SectorBitmap::getBitmapOfBlock(int block)
{
    return getBitmap() + static_cast<int64_t>(block) * getLength4BitmapOfBlock();
}

int SectorBitmap::getLength4BitmapOfBlock() const
{
    return m_geometry.sectorsPerBlock() / 8;
}

int SectorBitmap::getValideSectors(schema::UsbDevice* /*device*/) const
{
    return static_cast<int>(int64_t(m_length) * 8 - BitRange::countSet(getBitmap(), 0, int64_t(m_length) * 8));
}

int SectorBitmap::update(schema::UsbDevice* device)
{
    TESSOR_ASSERT(device != nullptr);
    return cleanUp(device->getScanConfig()->getScanPriority());
}

int SectorBitmap::cleanUp(int priority)
{
    if (priority == 3) {
        judgeFirstPages(m_geometry.dataPages());
    }
    const int64_t badTotal = applyWholeBlockRule(priority);
    applyWholePageRule(priority, badTotal);
    if (m_geometry.tlc) {
        m_blockBitmap->judgeTlcBlocks(priority);
    } else {
        m_blockBitmap->judgeBlocks(priority);
    }
    return 0;
}

// The first page decides for every data page of the block.
void SectorBitmap::judgeFirstPages(int dataPages)
{
    const int sectorsPerPage = m_geometry.sectorsPerPage;
    for (int block = 0; block < m_geometry.totalBlocks(); ++block) {
        const int64_t first = m_geometry.firstSectorOfBlock(block);
        const bool bad = BitRange::anySet(getBitmap(), first, sectorsPerPage);
        BitRange::fill(getBitmap(), first, int64_t(sectorsPerPage) * dataPages, bad);
    }
}

// Returns the bad sectors counted before any block was marked.
int64_t SectorBitmap::applyWholeBlockRule(int priority)
{
    const int sectorsPerBlock = m_geometry.sectorsPerBlock();
    const int64_t limit = int64_t(sectorsPerBlock) * 90 / 100;
    int64_t total = 0;
    for (int block = 0; block < m_geometry.totalBlocks(); ++block) {
        const int64_t badSectors = BitRange::countSet(getBitmap(), m_geometry.firstSectorOfBlock(block), sectorsPerBlock);
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
        const unsigned char byte = getBitmap()[i];
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
        unsigned char& byte = getBitmap()[i];
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

int SectorBitmap::setToMultiPlane(schema::UsbDevice* device)
{
    Sptr<schema::PlaneInfo> plane = device->getCurrentPlaneInfo();
    TESSOR_ASSERT(plane);
    return setToMultiPlane(plane->getPlanePerChip(), plane->getChipCounts() * plane->getInterleavePerChip());
}

int SectorBitmap::setToMultiPlane(int planesPerChip, int groups)
{
    if (m_otherPlaneView.empty()) {
        m_otherPlaneView.resize(m_buffer.size());
    }
    std::vector<char>& multiPlane = m_multiPlaneView ? m_buffer : m_otherPlaneView;
    if (singlePlane2MultiPlane(planesPerChip, groups, reinterpret_cast<unsigned char*>(multiPlane.data())) != 0) {
        return -1;
    }
    if (!m_multiPlaneView) {
        m_buffer.swap(m_otherPlaneView);
        m_multiPlaneView = true;
    }
    return 0;
}

void SectorBitmap::setToSinglePlane(schema::UsbDevice* /*device*/)
{
    if (m_multiPlaneView) {
        m_buffer.swap(m_otherPlaneView);
        m_multiPlaneView = false;
    }
}

const unsigned char* SectorBitmap::singlePlaneBits() const
{
    return reinterpret_cast<const unsigned char*>(m_multiPlaneView ? m_otherPlaneView.data() : m_buffer.data());
}

int SectorBitmap::convertAddress(
    schema::UsbDevice* device, Sptr<schema::BaseAddress> target, Sptr<schema::BaseAddress> source)
{
    Sptr<schema::PlaneInfo> plane = device->getCurrentPlaneInfo();
    TESSOR_ASSERT(plane);
    const int planes = plane->getTotalPlanes();
    Sptr<schema::ConfigInfo> settings = device->getConfigInfo();
    if (settings && settings->checkBlockMode() && planes > 1) {
        target->setBlockNo(source->getBlockNo() * planes);
        target->setPageNo(source->getPageNo() * planes);
    }
    return 0;
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
    const unsigned char* single = singlePlaneBits();
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
