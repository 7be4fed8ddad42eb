// The layout of one FAT volume: reserved sectors, root directory, FAT size
// and cluster size, worked out from the partition's capacity. The FAT is
// always large enough to map every cluster, and a FAT12 volume always has
// fewer clusters than readers allow FAT12 to hold.
#pragma once

#include <cstdint>

namespace Tessor::schema {

struct FatParameters {
    static constexpr int FAT12 = 1;
    static constexpr int FAT16 = 6;
    static constexpr int FAT32 = 0x0B;
    static constexpr uint32_t FAT12_CLUSTER_LIMIT = 4085;   // FAT12 holds fewer clusters
    static constexpr uint32_t FAT32_CLUSTER_MINIMUM = 65525;

    int type = 0;  // FAT12, FAT16 or FAT32; 0 for anything else
    uint32_t totalSectors = 0;  // the volume: capacity less the hidden sectors
    bool big = false;           // total above 65535: the 32-bit total field
    uint16_t reservedSectors = 0;
    uint16_t rootEntries = 0;
    uint16_t rootSectors = 0;  // cleared as the root directory
    uint32_t sectorsPerFat = 0;
    uint16_t fatCount = 2;
    uint8_t sectorsPerCluster = 0;
    uint8_t tableCell = 0;  // the cluster-size table's cell (0 for FAT12)

    // `capacity` is the whole partition, `hidden` the sectors in front of
    // its boot sector (63 behind a master boot record).
    static FatParameters compute(int type, uint32_t capacity, uint32_t hidden);

    // Data clusters of the volume; on FAT12/16 the root directory lies
    // before the data area, on FAT32 inside it.
    uint32_t clusterCount() const;
    // FAT entries the FATs have room for.
    uint64_t fatEntries() const;
    bool mapsEveryCluster() const { return uint64_t(clusterCount()) + 2 <= fatEntries(); }
};

}  // namespace Tessor::schema
