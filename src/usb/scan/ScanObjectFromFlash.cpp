#include "usb/scan/ScanObjectFromFlash.h"

#include <algorithm>
#include <cstring>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/cmd/SectorBitmapImage.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::usb {

namespace {

constexpr uint32_t kOtherMagic1 = 0xA88AA88A;
constexpr uint32_t kOtherMagic2 = 0x8A8A8A8A;
constexpr int kMaxRead = 128;
constexpr int kShortTlcRead = 32;

}  // namespace

ScanObjectFromFlash::ScanObjectFromFlash(schema::UsbDevice* device, const std::string& name)
    : ScanObject(device, name)
{
    ScanObjectFromFlash::init();
}

int ScanObjectFromFlash::init()
{
    m_image.assign(static_cast<size_t>((int64_t(getDevice()->getDiskInfo()->getTotalSectors()) + 7) / 8), 0);
    return 0;
}

int64_t ScanObjectFromFlash::deviceWide(const Header& header, int64_t address) const
{
    const schema::DiskInfo& disk = *getDevice()->getDiskInfo();
    const int64_t perChip = int64_t(disk.getBlocksPerChip()) * disk.getSectorsPerBlock();
    return header.chipLocal ? header.chip * perChip + address % perChip : address;
}

const unsigned char* ScanObjectFromFlash::readImageSector(const Header& header, int64_t address)
{
    schema::UsbDevice* device = getDevice();
    const schema::DiskInfo& disk = *device->getDiskInfo();
    const int64_t perChip = int64_t(disk.getBlocksPerChip()) * disk.getSectorsPerBlock();
    const int64_t wide = deviceWide(header, address);
    const unsigned char* data =
        device->readFlashSectors(static_cast<int>(wide / perChip), static_cast<int>(wide % perChip), 1);
    if (data == nullptr) {
        CPLOG(3, "Read Block Bitmap from Flash failed on device %s on phyical address : %d", device->getName(),
              static_cast<int>(wide / disk.getSectorsPerBlock()));
    }
    return data;
}

int ScanObjectFromFlash::findHeader(Header* header)
{
    schema::UsbDevice* device = getDevice();
    const schema::DiskInfo& disk = *device->getDiskInfo();
    const _FLASH_CHIP_INFO& chip = *device->getFlashInfo()->getChipInfo();
    const bool tlc = chip.TLC != 0;
    const int blocks = disk.getChipsPerDisk() * (tlc ? chip.RealBlockPerChip : disk.getBlocksPerChip());
    const int searched = (tlc ? chip.RealPagePerBlock : disk.getPagesPerBlock()) * disk.getSectorsPerPage();
    const int n = tlc && chip.RealPagePerBlock == 94 ? kShortTlcRead : std::min(searched, kMaxRead);
    const float share = 100.0f / (static_cast<float>(blocks) * static_cast<float>(searched) / static_cast<float>(n));
    device->updateProgressInfo(1);
    for (int b = blocks - 1; b >= 0; --b) {
        const int chipNo = b / disk.getBlocksPerChip();
        const int first = b % disk.getBlocksPerChip() * disk.getSectorsPerBlock();
        for (int offset = 0; offset < searched; offset += n) {
            if (const int cancel = device->checkCancel(); cancel != 0) {
                return cancel;
            }
            const int count = std::min(n, searched - offset);
            const unsigned char* data = device->readFlashSectors(chipNo, first + offset, count);
            if (data == nullptr) {
                CPLOG(3, "Read Block Bitmap from Flash failed on device %s on phyical address : %d",
                      device->getName(), b);
                return schema::DeviceCode::ACCESS_FAILED;
            }
            m_progress.add(device, share);
            for (int s = 0; s < count; ++s) {
                const auto* h = reinterpret_cast<const SectorBitmapImageHeader*>(data + s * SECTOR_BYTES);
                const uint32_t m1 = h->magic[0].get();
                const uint32_t m2 = h->magic[1].get();
                const bool own = m1 == SectorBitmapImageHeader::MAGIC && m2 == SectorBitmapImageHeader::MAGIC;
                if (!own && !(m1 == kOtherMagic1 && m2 == kOtherMagic2)) {
                    continue;
                }
                header->sector = int64_t(b) * disk.getSectorsPerBlock() + offset + s;
                header->chip = chipNo;
                header->chipLocal = !own;
                if (own) {
                    header->l2Count = static_cast<int>(h->l2Count.get());
                    header->imageSectors = static_cast<int>(h->imageSectors.get());
                } else {
                    const int bitmapSectors = static_cast<int>((m_image.size() + 511) / 512);
                    header->l2Count = (bitmapSectors + 127) / 128;
                    header->imageSectors = bitmapSectors + header->l2Count + 1;
                }
                const int listed = std::clamp(header->l2Count, 0, SectorBitmapImageHeader::L2_ENTRIES);
                for (int i = 0; i < listed; ++i) {
                    header->l2Addresses.push_back(h->l2Address[i].get());
                }
                return 0;
            }
        }
    }
    return schema::DeviceCode::SCAN_FAILED;
}

int ScanObjectFromFlash::scan()
{
    schema::UsbDevice* device = getDevice();
    const int64_t total = device->getDiskInfo()->getTotalSectors();
    Header header;
    if (const int result = findHeader(&header); result != 0) {
        if (result == schema::DeviceCode::SCAN_FAILED) {
            CPLOG(3, "Read Sector Bitmap and Block Bitmap from Flash failed for device %s", device->getName());
        }
        return result;
    }
    const int bitmapSectors = header.imageSectors - header.l2Count - 1;
    // Counts that cannot describe this flash's bitmap are no image of it.
    if (header.l2Count < 1 || bitmapSectors < 1 ||
        static_cast<size_t>(bitmapSectors) > ceilDivide(m_image.size(), SECTOR_BYTES)) {
        CPLOG(3, "Read out Sectors is not equal to Sector for sectorBitmap ,so it maybe corrupt");
        return schema::DeviceCode::SCAN_FAILED;
    }
    m_addresses.clear();
    std::vector<int64_t> l2Sectors;
    for (const int64_t l2 : header.l2Addresses) {
        if (l2 >= total || static_cast<int>(m_addresses.size()) >= bitmapSectors) {
            break;
        }
        const unsigned char* data = readImageSector(header, l2);
        if (data == nullptr) {
            return schema::DeviceCode::ACCESS_FAILED;
        }
        l2Sectors.push_back(l2);
        const auto* entries = reinterpret_cast<const SectorBitmapImageL2*>(data);
        for (int j = 0; j < SectorBitmapImageL2::ENTRIES && static_cast<int>(m_addresses.size()) < bitmapSectors; ++j) {
            const int64_t address = entries->bitmapAddress[j].get();
            if (address >= total) {
                break;
            }
            m_addresses.push_back(address);
        }
    }
    if (static_cast<int>(m_addresses.size()) < bitmapSectors) {
        CPLOG(3, "Read out Sectors is not equal to Sector for sectorBitmap ,so it maybe corrupt");
        return schema::DeviceCode::SCAN_FAILED;
    }
    for (int k = 0; k < bitmapSectors; ++k) {
        if (const int cancel = device->checkCancel(); cancel != 0) {
            return cancel;
        }
        const unsigned char* data = readImageSector(header, m_addresses[k]);
        if (data == nullptr) {
            return schema::DeviceCode::ACCESS_FAILED;
        }
        const size_t at = size_t(k) * SECTOR_BYTES;
        std::memcpy(m_image.data() + at, data, std::min<size_t>(SECTOR_BYTES, m_image.size() - at));
    }
    m_sectorBitmap = Sptr<SectorBitmap>(new SectorBitmap(device, "Readout SectorBitmap"));
    m_sectorBitmap->setAsGood();
    // The image covers the bitmap exactly.
    (void)m_sectorBitmap->updateBitmap(m_image.data(), static_cast<int>(m_image.size()), 0);
    (void)m_sectorBitmap->update(device);  // judged in memory: nothing can fail
    // Where the image lies: the save at this level keeps it there.
    Sptr<schema::BaseAddress> image(new schema::BaseAddress(device->getDiskInfo(), static_cast<int>(header.sector)));
    std::vector<int64_t> sectors = {header.sector};
    for (const int64_t l2 : l2Sectors) {
        sectors.push_back(deviceWide(header, l2));
    }
    for (const int64_t a : m_addresses) {
        sectors.push_back(deviceWide(header, a));
    }
    for (const int64_t s : sectors) {
        image->addData(Sptr<schema::BaseData>(new schema::BaseAddress(device->getDiskInfo(), static_cast<int>(s))));
    }
    m_sectorBitmap->setAddress(image);
    return 0;
}

}  // namespace Tessor::usb
