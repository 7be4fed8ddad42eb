// Saving the sector bitmap on the device's own flash, near its end.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/VException.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/cmd/SectorBitmapImage.h"

namespace Tessor::usb {

namespace {

constexpr int kEraseBatch = 32;
// The block bitmap keeps a block of its own only on a flash with more good blocks than this.
constexpr int kBlockBitmapMinGood = 64;

std::vector<Sptr<schema::BaseAddress>> childrenOf(const Sptr<schema::BaseAddress>& parent)
{
    std::vector<Sptr<schema::BaseAddress>> out;
    for (Sptr<schema::BaseData> c = parent->getNextData({}); c; c = parent->getNextData(c)) {
        out.push_back(Sptr<schema::BaseAddress>(c));
    }
    return out;
}

}  // namespace

SectorBitmap::SectorBitmap(schema::UsbDevice* device, const SectorBitmapImageHeader& h)
    : SectorBitmap(device, "SectorBitmap(r)")
{
    const int64_t l2Count = h.l2Count.get();
    const int64_t imageSectors = h.imageSectors.get();
    // Only the counts of this flash's own image cover its whole bitmap.
    if (l2Count != m_l2SectorCount || imageSectors != m_imageSectorCount) {
        CPLOG(3, "Read out Sectors is not equal to Sector for sectorBitmap ,so it maybe corrupt");
        throw BitmapException("Sector bitmap image corrupt", __FILE__, __LINE__, schema::DeviceCode::SCAN_FAILED);
    }
    CPLOG(7, "Sector Bitmap are stored in sector %d", static_cast<int>(imageSectors));
    const BitmapGeometry& g = m_geometry;
    const int64_t perChip = int64_t(g.blocksPerChip) * g.sectorsPerBlock();
    const int64_t total = g.totalSectors();
    // The sector at `address` into `out`; false (logged) when it cannot be read.
    auto read = [&](uint32_t address, unsigned char* out, int length, const char* what) {
        const unsigned char* data =
            address < total ? device->readFlashSectors(static_cast<int>(address / perChip),
                                                       static_cast<int>(address % perChip), 1)
                            : nullptr;
        if (data == nullptr) {
            CPLOG(3, "Read Sector Bitmap %sfrom Flash failed on device %s on phyical address : %d", what,
                  device->getName(), static_cast<int>(address));
            return false;
        }
        std::memcpy(out, data, static_cast<size_t>(length));
        return true;
    };
    m_headerBuffer.assign(static_cast<size_t>(l2Count + 1) * SECTOR_BYTES, 0xFF);
    std::memcpy(m_headerBuffer.data(), &h, SECTOR_BYTES);
    for (int k = 0; k < l2Count; ++k) {
        read(h.l2Address[k].get(), m_headerBuffer.data() + size_t(k + 1) * SECTOR_BYTES, SECTOR_BYTES, "L2 table ");
    }
    unsigned char* bits = getBitmap();
    for (int i = 0; i < m_imageSectorCount - m_l2SectorCount - 1; ++i) {
        const auto* l2 = reinterpret_cast<const SectorBitmapImageL2*>(m_headerBuffer.data() +
                                                                      size_t(1 + i / SectorBitmapImageL2::ENTRIES) *
                                                                          SECTOR_BYTES);
        const int at = i * SECTOR_BYTES;
        const int length = std::min(SECTOR_BYTES, m_length - at);
        if (!read(l2->bitmapAddress[i % SectorBitmapImageL2::ENTRIES].get(), bits + at, length, "")) {
            std::memset(bits + at, 0xFF, static_cast<size_t>(length));
        }
    }
    schema::SystemInfo::debugBuffer(bits, m_length, "sector bit map");
    m_blockBitmap = Sptr<BlockBitmap>(new BlockBitmap(this));
    (void)update(device);  // rebuilding the block bitmap reports nothing
}

int SectorBitmap::findFirstFreeSector() const
{
    const BitmapGeometry& g = m_geometry;
    const int64_t total =
        g.tlc ? int64_t(g.realBlocksPerChip) * g.sectorsPerBlock() * g.chips : g.totalSectors();
    int64_t good = 0;
    for (int64_t s = total - 2 * int64_t(g.sectorsPerBlock()); s >= 0; --s) {
        good += BitRange::test(getBitmap(), s) ? 0 : 1;
        if (good > 4 * int64_t(m_imageSectorCount)) {
            return static_cast<int>(s);
        }
    }
    return -1;
}

Sptr<schema::BaseAddress> SectorBitmap::allocateAddresses(int startBlock)
{
    schema::UsbDevice* device = getDevice();
    const BitmapGeometry& g = m_geometry;
    Sptr<schema::BaseAddress> image(new schema::BaseAddress(device, startBlock, 0, 0));
    int taken = 0;
    for (int block = startBlock; block < g.totalBlocks(); ++block) {
        for (int page = 0; page < g.pagesPerBlock; ++page) {
            const int64_t first = g.firstSectorOfBlock(block) + int64_t(page) * g.sectorsPerPage;
            bool inRun = false;
            for (int i = 0; i < g.sectorsPerPage; ++i) {
                if (BitRange::test(getBitmap(), first + i)) {
                    if (inRun) {
                        break;  // one run of good sectors a page
                    }
                    continue;
                }
                inRun = true;
                image->addData(Sptr<schema::BaseData>(new schema::BaseAddress(device, block, page, i)));
                if (++taken == m_imageSectorCount) {
                    return image;
                }
                if (taken == m_l2SectorCount + 1) {
                    break;  // the bitmap sectors start on a page of their own
                }
            }
        }
    }
    return {};
}

int SectorBitmap::createSectorTables(const Sptr<schema::BaseAddress>& image)
{
    TESSOR_ASSERT(getDevice() != nullptr);
    const std::vector<Sptr<schema::BaseAddress>> sectors = childrenOf(image);
    TESSOR_ASSERT(static_cast<int>(sectors.size()) == m_imageSectorCount);
    std::fill(m_headerBuffer.begin(), m_headerBuffer.end(), 0xFF);
    auto* header = reinterpret_cast<SectorBitmapImageHeader*>(m_headerBuffer.data());
    auto* l2 = reinterpret_cast<SectorBitmapImageL2*>(m_headerBuffer.data() + SECTOR_BYTES);
    for (int i = m_l2SectorCount + 1; i < m_imageSectorCount; ++i) {
        const int entry = i - m_l2SectorCount - 1;
        l2[entry / SectorBitmapImageL2::ENTRIES].bitmapAddress[entry % SectorBitmapImageL2::ENTRIES].set(
            static_cast<uint32_t>(sectors[i]->getPhyAddress()));
    }
    header->magic[0].set(SectorBitmapImageHeader::MAGIC);
    header->magic[1].set(SectorBitmapImageHeader::MAGIC);
    header->l2Count.set(static_cast<uint32_t>(m_l2SectorCount));
    header->imageSectors.set(static_cast<uint32_t>(m_imageSectorCount));
    for (int k = 0; k < m_l2SectorCount; ++k) {
        header->l2Address[k].set(static_cast<uint32_t>(sectors[1 + k]->getPhyAddress()));
    }
    return 0;
}

Sptr<schema::BaseAddress> SectorBitmap::placeImage()
{
    const BitmapGeometry& g = m_geometry;
    const int free = findFirstFreeSector();
    if (free < 0) {
        CPLOG(3, "No good sector to save sector bit map ");
        return {};
    }
    const int startBlock = ceilDivide(free, g.sectorsPerBlock());
    CPLOG(7, "First FreeBlock NO =%d", startBlock);
    Sptr<schema::BaseAddress> image = allocateAddresses(startBlock);
    if (!image) {
        CPLOG(3, "Address allocatation for sector bitmap failed");
        return {};
    }
    setAddress(image);
    if (createSectorTables(image) != 0) {
        CPLOG(3, "Create Index Table for sector bitmap failed");
        return {};
    }
    CPLOG(7, "%d sectors are allocated for sectors bitmap", m_imageSectorCount);
    return image;
}

int SectorBitmap::writeFlash(schema::UsbDevice* device)
{
    TESSOR_ASSERT(device != nullptr);
    const BitmapGeometry& g = m_geometry;
    // The image keeps the bitmap of this moment, without its own blocks.
    std::vector<unsigned char> stored(static_cast<size_t>(m_imageSectorCount - m_l2SectorCount - 1) * SECTOR_BYTES,
                                      0xFF);
    std::memcpy(stored.data(), getBitmap(), static_cast<size_t>(m_length));

    if (m_blockBitmap->getValideBlocks() > kBlockBitmapMinGood) {
        const int block = m_blockBitmap->findFirstFreeBlock();
        if (block >= 0 && m_blockBitmap->allocateAddresses(block)) {
            setAsBad(block);
        }
    }
    const bool formatOnly = device->getScanConfig()->getScanLevel() == 3;
    Sptr<schema::BaseAddress> image = getAddress();
    if (!formatOnly || !image) {
        image = placeImage();
        if (!image) {
            return -2;
        }
    }

    const std::vector<Sptr<schema::BaseAddress>> sectors = childrenOf(image);
    const int perChip = g.blocksPerChip * g.sectorsPerBlock();
    // Blocks counted over the whole device, as both bitmaps count them.
    int first = -1;
    int last = -1;
    for (const Sptr<schema::BaseAddress>& a : sectors) {
        const int block = a->getPhyAddress() / g.sectorsPerBlock();
        if (block != last) {
            setAsBad(block);
            m_blockBitmap->setAsBad(block);
            first = first < 0 ? block : first;
            last = block;
        }
    }

    if (formatOnly) {
        // The image lies on the flash already, where the read-back found it:
        // only the blocks below it are cleared, no batch crossing a chip's end.
        for (int start = 0; start < first - 1;) {
            const int count =
                std::min({kEraseBatch, first - 1 - start, g.blocksPerChip - start % g.blocksPerChip});
            if (device->eraseBlocks(start, count) != 0) {
                return -1;
            }
            start += count;
        }
        return 0;
    }
    (void)device->eraseChip();  // the image written below reports its own failures
    for (size_t i = 0; i < sectors.size();) {
        const int firstAddress = sectors[i]->getPhyAddress();
        size_t end = i + 1;
        while (end < sectors.size() && sectors[end]->getPhyAddress() == firstAddress + int(end - i) &&
               sectors[end]->getPhyAddress() / g.sectorsPerPage == firstAddress / g.sectorsPerPage) {
            ++end;
        }
        std::vector<unsigned char> run;
        for (size_t k = i; k < end; ++k) {
            const int n = static_cast<int>(k);
            const unsigned char* data = n <= m_l2SectorCount
                                            ? m_headerBuffer.data() + size_t(n) * SECTOR_BYTES
                                            : stored.data() + size_t(n - m_l2SectorCount - 1) * SECTOR_BYTES;
            run.insert(run.end(), data, data + SECTOR_BYTES);
        }
        if (device->writeFlashSectors(firstAddress / perChip, firstAddress % perChip, static_cast<int>(end - i),
                                      run.data()) != 0) {
            CPLOG(3, "Download Sector Bitmap to Flash failed on device %s on phyical address : %d", device->getName(),
                  firstAddress);
            return -1;
        }
        i = end;
    }
    return 0;
}

}  // namespace Tessor::usb
