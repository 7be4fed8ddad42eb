// How the controller reads the flash addresses the tool passes while its
// firmware runs from a table in block mode: the units (planes x
// interleaves x ganged chips) of one multi-plane block act as one block
// whose pages go round the units, so raw page q lies in multi-plane block
// q / (units x pages per block) on unit q mod units. Unit u is plane
// u mod planes of lane u / planes, and a lane (an interleave of a ganged
// chip) holds its own run of blocks, as the multi-plane fold of the block
// bitmap sees the device. Any other table addresses the flash as it lies.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/taval/Geometry.h"
#include "platform/taval/Variant.h"

namespace Tessor::taval {

class GroupedAddressing {
public:
    // The flash as it lies.
    explicit GroupedAddressing(const Geometry& geometry) : m_geometry(geometry) {}
    // From the table the firmware runs with (empty: none).
    GroupedAddressing(const Variant& variant, const std::vector<uint8_t>& table, const Geometry& geometry);

    bool grouped() const { return m_units > 1; }
    // The runs of consecutive flash sectors that raw sectors [first,
    // first + count) name, in raw order: (flash sector, count).
    std::vector<std::pair<int64_t, int>> runs(int64_t first, int count) const;
    // The flash blocks holding some page of raw sectors [first, first +
    // count), rising: an erase there erases all of them.
    std::vector<int64_t> blocks(int64_t first, int64_t count) const;

private:
    // The flash sector a raw device-wide sector names; the raw sector must
    // lie on the flash.
    int64_t sector(int64_t raw) const;

    Geometry m_geometry;
    int m_units = 1;
    int m_planes = 1;
};

}  // namespace Tessor::taval
