// The sector-bitmap image in the 6706 controller's layout: its parts in the
// reverse order of the usual image, on the good sectors of 16-sector units.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/cmd/SectorBitmapImage.h"

namespace Tessor::usb {

namespace {

constexpr int kUnitSectors = 16;

}  // namespace

int SectorBitmap::Write6706SectBitmapInfoToFlash(schema::UsbDevice* device, int startBlock)
{
    TESSOR_ASSERT(device != nullptr);
    const BitmapGeometry& g = m_geometry;
    const int bitmapSectors = ceilDivide(m_length, SECTOR_BYTES);
    const int l2Sectors = (bitmapSectors + SectorBitmapImageL2::ENTRIES - 1) / SectorBitmapImageL2::ENTRIES;
    const size_t total = static_cast<size_t>(bitmapSectors + l2Sectors + 1);
    if (startBlock < 0 || l2Sectors > SectorBitmapImageHeader::L2_ENTRIES) {
        return -2;
    }

    // Image sector i (bitmap sectors, L2 sectors, header) goes to place i.
    std::vector<int64_t> places;
    for (int64_t unit = g.firstSectorOfBlock(startBlock); unit + kUnitSectors <= g.totalSectors() && places.size() < total;
         unit += kUnitSectors) {
        const unsigned bad = BitRange::readWord(getBitmap(), unit, kUnitSectors);
        for (int s = 0; s < kUnitSectors && places.size() < total; ++s) {
            if ((bad >> s & 1u) == 0) {
                places.push_back(unit + s);
            }
        }
    }
    if (places.size() < total) {
        CPLOG(3, "No good sector to save sector bit map ");
        return -2;
    }

    std::vector<unsigned char> image(total * SECTOR_BYTES, 0xFF);
    std::memcpy(image.data(), getBitmap(), static_cast<size_t>(m_length));
    auto* l2 = reinterpret_cast<SectorBitmapImageL2*>(image.data() + size_t(bitmapSectors) * SECTOR_BYTES);
    for (int i = 0; i < bitmapSectors; ++i) {
        l2[i / SectorBitmapImageL2::ENTRIES].bitmapAddress[i % SectorBitmapImageL2::ENTRIES].set(
            static_cast<uint32_t>(places[size_t(i)]));
    }
    auto* header = reinterpret_cast<SectorBitmapImageHeader*>(image.data() + (total - 1) * SECTOR_BYTES);
    header->magic[0].set(SectorBitmapImageHeader::MAGIC_6706_FIRST);
    header->magic[1].set(SectorBitmapImageHeader::MAGIC_6706_SECOND);
    for (int k = 0; k < l2Sectors; ++k) {
        header->l2Address[k].set(static_cast<uint32_t>(places[size_t(bitmapSectors + k)]));
    }

    // One write of a unit for every unit that received sectors.
    std::vector<unsigned char> unitData(size_t(kUnitSectors) * SECTOR_BYTES);
    for (size_t i = 0; i < total;) {
        const int64_t unit = places[i] - places[i] % kUnitSectors;
        std::fill(unitData.begin(), unitData.end(), 0xFF);
        unsigned long mask = 0;
        for (; i < total && places[i] < unit + kUnitSectors; ++i) {
            const int at = static_cast<int>(places[i] - unit);
            std::memcpy(unitData.data() + size_t(at) * SECTOR_BYTES, image.data() + i * SECTOR_BYTES, SECTOR_BYTES);
            mask |= 1ul << at;
        }
        if (CmdWrite6706PhysicalSectors(device, static_cast<unsigned long>(unit), unitData.data(), kUnitSectors, 0, 0,
                                        0, 0, 0, 0, mask) != 0) {
            CPLOG(3, "Download Sector Bitmap to Flash failed on device %s on phyical address : %d", device->getName(),
                  static_cast<int>(unit));
            return -1;
        }
    }
    const int64_t lastBlock = places.back() / g.sectorsPerBlock();
    BitRange::fill(getBitmap(), 0, (lastBlock + 1) * g.sectorsPerBlock(), true);
    return 0;
}

int SectorBitmap::CmdWrite6706PhysicalSectors(schema::UsbDevice* device, unsigned long sector, void* data,
                                              unsigned long count, unsigned char, unsigned char, unsigned short, int,
                                              int, int, unsigned long mask)
{
    TESSOR_ASSERT(device != nullptr && data != nullptr);
    const int64_t perChip = int64_t(m_geometry.blocksPerChip) * m_geometry.sectorsPerBlock();
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (unsigned long s = 0; s < count;) {
        if ((mask >> s & 1ul) == 0) {
            ++s;
            continue;
        }
        unsigned long run = 1;
        while (s + run < count && (mask >> (s + run) & 1ul) != 0) {
            ++run;
        }
        const int64_t first = int64_t(sector + s);
        if (device->writeFlashSectors(static_cast<int>(first / perChip), static_cast<int>(first % perChip),
                                      static_cast<int>(run), bytes + s * SECTOR_BYTES) != 0) {
            return -1;
        }
        s += run;
    }
    return 0;
}

}  // namespace Tessor::usb
