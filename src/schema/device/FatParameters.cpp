#include "schema/device/FatParameters.h"

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"

#include <algorithm>

namespace Tessor::schema {

namespace {

struct ClusterRow {
    uint32_t capacity;
    uint8_t sectorsPerCluster;
};

constexpr ClusterRow kFat16Table[] = {{8400, 0},     {32680, 2},    {262144, 4},     {524288, 8},
                                      {1048576, 16}, {2097152, 32}, {4194304, 64},   {0xFFFFFFFF, 0}};
constexpr ClusterRow kFat32Table[] = {{66600, 0},    {532480, 1},    {16777216, 8},
                                      {33554432, 16}, {67108864, 32}, {0xFFFFFFFF, 64}};
constexpr uint32_t kFat12SectorsPerCluster[] = {1, 2, 4, 8, 16, 32, 64, 128};

template <size_t N>
uint8_t lookUp(const ClusterRow (&table)[N], uint32_t capacity)
{
    for (const ClusterRow& row : table) {
        if (row.capacity >= capacity) {
            return row.sectorsPerCluster;
        }
    }
    return 0;
}

uint32_t roundUp8(uint32_t n) { return (n + 7) & ~uint32_t(7); }

// The FAT size the formula gives, then grown by whole 8-sector steps until
// it maps every cluster: the formula's value stands whenever it is enough.
void sizeFat(FatParameters& p)
{
    const uint32_t spc = p.sectorsPerCluster;
    const uint64_t overhead = uint64_t(p.rootSectors) + p.reservedSectors;
    const uint64_t room = p.totalSectors > overhead ? p.totalSectors - overhead : 0;
    if (p.type == FatParameters::FAT32) {
        p.sectorsPerFat = roundUp8(ceilDivide(room, 128ull * spc + 2));
    } else {
        const uint32_t n = static_cast<uint16_t>(ceilDivide(room, 256ull * spc + 2));
        p.sectorsPerFat = std::min<uint32_t>(roundUp8(n), 256);
    }
    while (!p.mapsEveryCluster() && p.clusterCount() > 0) {
        p.sectorsPerFat += 8;
    }
}

}  // namespace

FatParameters FatParameters::compute(int type, uint32_t capacity, uint32_t hidden)
{
    FatParameters p;
    p.type = (type == FAT12 || type == FAT16 || type == FAT32) ? type : 0;
    p.totalSectors = capacity > hidden ? capacity - hidden : 0;
    p.big = p.totalSectors > 65535;
    p.rootEntries = static_cast<uint16_t>(512u * std::max<uint32_t>(1, p.totalSectors / 65535));
    p.rootSectors = static_cast<uint16_t>(roundUp8(std::max<uint32_t>(32, p.rootEntries * 32u / SECTOR_BYTES)));
    if (p.type == FAT32) {
        p.reservedSectors = p.big ? 32 : 8;
        p.tableCell = lookUp(kFat32Table, capacity);
    } else {
        p.reservedSectors = 8;
        p.tableCell = p.type == FAT16 ? lookUp(kFat16Table, capacity) : 0;
    }
    if (p.type == 0) {
        return p;
    }
    if (p.type != FAT12) {
        p.sectorsPerCluster = p.tableCell == 0 ? 1 : p.tableCell;
        sizeFat(p);
        return p;
    }
    // FAT12: the smallest cluster that keeps the count below the FAT12 limit,
    // or readers take the volume for FAT16.
    for (uint32_t spc : kFat12SectorsPerCluster) {
        p.sectorsPerCluster = static_cast<uint8_t>(spc);
        sizeFat(p);
        if (p.clusterCount() < FAT12_CLUSTER_LIMIT) {
            break;
        }
    }
    return p;
}

uint32_t FatParameters::clusterCount() const
{
    const uint64_t before = uint64_t(reservedSectors) + uint64_t(fatCount) * sectorsPerFat +
                            (type == FAT32 ? 0 : rootSectors);
    if (sectorsPerCluster == 0 || before >= totalSectors) {
        return 0;
    }
    return static_cast<uint32_t>((totalSectors - before) / sectorsPerCluster);
}

uint64_t FatParameters::fatEntries() const
{
    const uint64_t bytes = uint64_t(sectorsPerFat) * SECTOR_BYTES;
    switch (type) {
    case FAT12:
        return bytes * 2 / 3;
    case FAT16:
        return bytes / 2;
    case FAT32:
        return bytes / 4;
    default:
        return 0;
    }
}

}  // namespace Tessor::schema
