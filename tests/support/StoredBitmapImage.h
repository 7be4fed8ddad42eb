// The sector bitmap a reader of the saved image's layout finds on a flash:
// header (two magics, L2 count, image sectors, L2 addresses), L2 sectors
// (bitmap-sector addresses), bitmap sectors. Sectors come from `readSector`
// by device-wide sector number.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace test_support {

struct StoredBitmapImage {
    uint32_t magic[2] = {};
    uint32_t l2Count = 0;
    uint32_t sectorCount = 0;
    bool unusedEntriesFree = true;  // header entries past the L2 count all 0xFFFFFFFF
    std::vector<uint32_t> sectors;  // address of every image sector, in image order
    std::vector<uint8_t> bitmap;       // the bitmap sectors in order
};

inline uint32_t le32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

inline StoredBitmapImage readStoredBitmapImage(const std::function<std::vector<uint8_t>(int64_t)>& readSector,
                                               int64_t headerSector)
{
    constexpr uint32_t kHeaderEntries = 124;
    constexpr uint32_t kL2Entries = 128;
    StoredBitmapImage image;
    const std::vector<uint8_t> header = readSector(headerSector);
    image.magic[0] = le32(header.data());
    image.magic[1] = le32(header.data() + 4);
    image.l2Count = le32(header.data() + 8);
    image.sectorCount = le32(header.data() + 12);
    image.sectors.push_back(uint32_t(headerSector));
    if (image.l2Count > kHeaderEntries || image.sectorCount < image.l2Count + 1) {
        return image;
    }
    const uint32_t bitmapSectors = image.sectorCount - image.l2Count - 1;
    for (uint32_t k = 0; k < image.l2Count; ++k) {
        image.sectors.push_back(le32(header.data() + 16 + 4 * k));
    }
    for (uint32_t k = image.l2Count; k < kHeaderEntries; ++k) {
        image.unusedEntriesFree = image.unusedEntriesFree && le32(header.data() + 16 + 4 * k) == 0xFFFFFFFFu;
    }
    for (uint32_t k = 0; k < image.l2Count; ++k) {
        const std::vector<uint8_t> l2 = readSector(image.sectors[k + 1]);
        for (uint32_t j = 0; j < kL2Entries && image.bitmap.size() < size_t(bitmapSectors) * 512; ++j) {
            image.sectors.push_back(le32(l2.data() + 4 * j));
            const std::vector<uint8_t> part = readSector(image.sectors.back());
            image.bitmap.insert(image.bitmap.end(), part.begin(), part.end());
        }
    }
    return image;
}

}  // namespace test_support
