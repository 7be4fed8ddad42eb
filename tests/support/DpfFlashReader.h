// A photo frame's content read from a simulated device's flash the way the
// frame reads it: the table found by its magic at the start of a block, then
// every area through the addresses the table holds. Knows nothing of the
// writers; offsets are the frame's.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/taval/VirtualDevice.h"

namespace dpf_test {

using Bytes = std::vector<unsigned char>;

inline uint32_t be32(const Bytes& b, size_t at)
{
    return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3];
}
inline uint16_t be16(const Bytes& b, size_t at) { return static_cast<uint16_t>((b[at] << 8) | b[at + 1]); }

class FlashReader {
public:
    FlashReader(Tessor::taval::VirtualDevice& device, int blocks, int sectorsPerBlock)
        : m_device(device), m_blocks(blocks), m_perBlock(sectorsPerBlock)
    {
    }

    int perBlock() const { return m_perBlock; }

    // `count` sectors from the linear physical sector `sector`, on its chip.
    Bytes read(int64_t sector, int64_t count) const
    {
        Bytes out(static_cast<size_t>(count) * 512);
        for (int64_t done = 0; done < count;) {
            const int n = static_cast<int>(std::min<int64_t>(64, count - done));
            int length = 0;
            const int chip = static_cast<int>((sector + done) / sectorsPerChip());
            EXPECT_TRUE(m_device.readFlash(chip, sector + done, n, out.data() + done * 512, n * 512, &length));
            done += n;
        }
        return out;
    }

    // The frame's table: a block's first sector with the magic 55 AA and
    // 0x50 at byte 7, which is not the photo state (that copies the table's
    // head, its own address included, into its own block). Empty when none.
    Bytes findDpfTable() const
    {
        for (int block = 0; block < m_blocks; ++block) {
            const int64_t at = int64_t(block) * m_perBlock;
            Bytes sector = read(at, 1);
            if (sector[0] == 0x55 && sector[1] == 0xAA && sector[7] == 0x50 && be32(sector, 0x58) != at) {
                return sector;
            }
        }
        return Bytes();
    }

    // The e-book directory: 32-byte entries (number, 10-byte title, logical
    // sector, size), then the block index from byte 2048.
    Bytes readEbookDirectory(const Bytes& table) const { return read(be32(table, 0x60), 4 + 20); }

    // The bytes of the book of directory entry `entry`, through the block
    // index, whose blocks count within the chip that holds the directory.
    Bytes readBook(const Bytes& table, const Bytes& directory, size_t entry) const
    {
        const uint32_t logical = be32(directory, 32 * entry + 11);
        const uint32_t size = be32(directory, 32 * entry + 15);
        const uint32_t perBlock = static_cast<uint32_t>(m_perBlock);
        const int64_t chipStart = be32(table, 0x60) / sectorsPerChip() * sectorsPerChip();
        Bytes book;
        for (uint32_t s = logical; book.size() < size; ++s) {
            const uint32_t block = be16(directory, 2048 + 2 * (s / perBlock));
            const Bytes sector = read(chipStart + int64_t(block) * m_perBlock + s % perBlock, 1);
            book.insert(book.end(), sector.begin(), sector.end());
        }
        book.resize(size);
        return book;
    }

    // The address of menu and font area `type` (1 to 29).
    static uint32_t areaAddress(const Bytes& table, int type)
    {
        return be32(table, type <= 26 ? 0xB0 + 4 * size_t(type - 1) : 0x11C + 4 * size_t(type - 27));
    }

    // Photo `slot` through the photo address table.
    Bytes readPhoto(const Bytes& table, size_t slot) const
    {
        const Bytes addresses = read(be32(table, 0x5C) + int64_t(slot / 128), 1);
        return read(be32(addresses, 4 * (slot % 128)), 64);
    }

private:
    int64_t sectorsPerChip() const
    {
        const Tessor::taval::Geometry& g = m_device.description().geometry;
        return int64_t(g.blocksPerChip) * g.pagesPerBlock * g.sectorsPerPage;
    }

    Tessor::taval::VirtualDevice& m_device;
    int m_blocks;
    int m_perBlock;
};

}  // namespace dpf_test
