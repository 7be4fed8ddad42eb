// How far into an image the readers of a FAT volume look for its content.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace test_support {

// The end, in bytes from the start of `image`, of what fsck.fat -n (without
// -t) and mtools read of the volume at `offset`: the boot and reserved
// sectors, the FATs, a FAT12/16 root directory and every cluster the first
// FAT marks in use. Past it fsck.fat only tries that it can read the last
// sector, and drops what it holds. -1 when the volume cannot be read.
inline int64_t fatVolumeReach(const std::string& image, int64_t offset)
{
    std::ifstream in(image, std::ios::binary);
    const auto readAt = [&in](int64_t at, size_t size) {
        std::vector<uint8_t> bytes(size);
        in.seekg(at);
        in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size));
        return in ? bytes : std::vector<uint8_t>{};
    };
    const auto le = [](const uint8_t* p, int bytes) {
        uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i) {
            v = v << 8 | p[i];
        }
        return v;
    };
    const std::vector<uint8_t> boot = readAt(offset, 512);
    if (boot.empty()) {
        return -1;
    }
    const uint32_t sectorBytes = le(&boot[11], 2);
    const uint32_t clusterSectors = boot[13];
    const uint32_t fatStart = le(&boot[14], 2);
    const uint32_t fatSectors = le(&boot[22], 2) != 0 ? le(&boot[22], 2) : le(&boot[36], 4);
    const uint32_t totalSectors = le(&boot[19], 2) != 0 ? le(&boot[19], 2) : le(&boot[32], 4);
    if (sectorBytes == 0 || clusterSectors == 0) {
        return -1;
    }
    const uint32_t rootSectors = (le(&boot[17], 2) * 32 + sectorBytes - 1) / sectorBytes;
    const uint32_t dataStart = fatStart + boot[16] * fatSectors + rootSectors;
    const std::vector<uint8_t> fat = readAt(offset + int64_t(fatStart) * sectorBytes, size_t(fatSectors) * sectorBytes);
    if (totalSectors <= dataStart || fat.empty()) {
        return -1;
    }
    const uint32_t clusters = (totalSectors - dataStart) / clusterSectors;
    // The cluster counts that make FAT12 and FAT16.
    const int bits = clusters < 4085 ? 12 : clusters < 65525 ? 16 : 32;
    const auto entry = [&](uint32_t n) -> uint32_t {
        if (bits == 12) {
            const uint32_t pair = le(&fat[n * 3 / 2], 2);
            return n % 2 != 0 ? pair >> 4 : pair & 0xFFF;
        }
        return bits == 16 ? le(&fat[n * 2], 2) : le(&fat[n * 4], 4) & 0x0FFFFFFF;
    };
    const uint64_t entries = std::min<uint64_t>(clusters + 2, fat.size() * 8 / bits);
    uint32_t endSector = dataStart;
    for (uint32_t n = 2; n < entries; ++n) {
        if (entry(n) != 0) {
            endSector = dataStart + (n - 1) * clusterSectors;
        }
    }
    return offset + int64_t(endSector) * sectorBytes;
}

}  // namespace test_support
