#include "platform/taval/GroupedAddressing.h"

#include <algorithm>

#include "platform/taval/RamFlashInfo.h"

namespace Tessor::taval {

namespace {

// The code-control block's byte 1 carries the block-mode bit; -1: the
// variant's table has none.
struct BlockModeBit {
    int offset;
    int bit;
};

BlockModeBit blockModeBitOf(int chipSet) {
    switch (chipSet) {
        case 3: return {0x7F + 1, 2};
        case 4:
        case 5: return {0x87 + 1, 2};
        case 6: return {0x88 + 1, 2};
        case 7: return {0x7D + 1, 1};
        default: return {-1, 0};
    }
}

}  // namespace

GroupedAddressing::GroupedAddressing(const Variant& variant, const std::vector<uint8_t>& table,
                                     const Geometry& geometry)
    : GroupedAddressing(geometry) {
    const BlockModeBit b = blockModeBitOf(variant.id.chipSet);
    if (b.offset < 0 || table.size() <= size_t(b.offset) || (table[size_t(b.offset)] >> b.bit & 1) == 0) {
        return;
    }
    const RamFlashInfo info = RamFlashInfo::read(variant, table);
    if (info.planeFactor() > 1 && geometry.totalBlocks() % info.planeFactor() == 0) {
        m_units = info.planeFactor();
        m_planes = info.planes();
    }
}

int64_t GroupedAddressing::sector(int64_t raw) const {
    const Geometry& g = m_geometry;
    if (!grouped()) {
        return raw;
    }
    const int64_t q = raw / g.sectorsPerPage;
    const int64_t span = int64_t(m_units) * g.pagesPerBlock;
    const int64_t group = q / span;
    const int64_t v = q % span;
    const int64_t unit = v % m_units;
    const int64_t lanes = m_units / m_planes;
    const int64_t laneBlocks = g.totalBlocks() / lanes;
    const int64_t block = unit / m_planes * laneBlocks + group * m_planes + unit % m_planes;
    return (block * g.pagesPerBlock + v / m_units) * g.sectorsPerPage + raw % g.sectorsPerPage;
}

std::vector<std::pair<int64_t, int>> GroupedAddressing::runs(int64_t first, int count) const {
    if (!grouped()) {
        return {{first, count}};
    }
    std::vector<std::pair<int64_t, int>> out;
    for (int64_t raw = first; raw < first + count; ++raw) {
        const int64_t at = sector(raw);
        if (!out.empty() && out.back().first + out.back().second == at) {
            ++out.back().second;
        } else {
            out.emplace_back(at, 1);
        }
    }
    return out;
}

std::vector<int64_t> GroupedAddressing::blocks(int64_t first, int64_t count) const {
    const int64_t spp = m_geometry.sectorsPerPage;
    const int64_t spb = m_geometry.sectorsPerBlock();
    std::vector<int64_t> out;
    if (!grouped()) {
        for (int64_t block = first / spb; block <= (first + count - 1) / spb; ++block) {
            out.push_back(block);
        }
        return out;
    }
    for (int64_t raw = first - first % spp; raw < first + count; raw += spp) {
        out.push_back(sector(raw) / spb);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

}  // namespace Tessor::taval
