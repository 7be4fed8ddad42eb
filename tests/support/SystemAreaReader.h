// Reads the system area of a produced simulated device straight from its
// flash file, by the on-flash layouts alone, so a test checks what the low
// format left without asking the code that wrote it: every copy of the
// configuration table and what its code-control block points at (code
// pages, flag table, build information, page bitmap), the index records
// that point at the tables, and the index tables of the block sets.
//
//     system_area::SystemArea area = system_area::read(deviceFolder);
//     EXPECT_EQ(area.problems, std::vector<std::string>{});
//     EXPECT_EQ(area.copies.size(), 2u);
//
// `problems` names what does not hold together (a bad checksum or record,
// a table out of place, a flag table that is not the page bitmap's bits,
// an index table pointing at block 0xFFFF, ...). What the device was meant
// to hold (the code image, capacities, the password) is the test's to
// compare. Read a device only while no operation runs on it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/orrin/Sector.h"
#include "platform/taval/BootLoader.h"
#include "platform/taval/ConfigTableSector.h"
#include "platform/taval/DeviceDescription.h"
#include "platform/taval/FlashStore.h"

namespace system_area {

using Bytes = std::vector<uint8_t>;

// The build-information sector.
struct BuildRecord {
    uint32_t toolVersion = 0;
    uint16_t codeVersion = 0;
    uint8_t eccBytes = 0;
    uint8_t scanPriority = 0;
    uint8_t scanLevel = 0;
    uint32_t realCapacity = 0;    // sectors
    uint32_t configCapacity = 0;  // sectors
    uint32_t totalCapacity = 0;   // sectors
    uint32_t badSectors = 0;
    std::string password;
};

// One copy of the system area, found by its configuration table. Pages are
// counted over the device: block x pages per block + page.
struct Copy {
    int64_t tablePage = -1;
    Bytes table;                        // the 512-byte sector
    std::vector<int64_t> indexRecords;  // pages of the index records pointing here
    std::vector<int64_t> codePages;
    int64_t codeIndexPage = -1;         // 6605: the external-code index
    int64_t flagPage = -1;
    int64_t buildPage = -1;
    std::vector<int> pageBitmapBlocks;
    std::vector<int64_t> pageBitmapPages;
    Bytes code;        // the code pages' sectors, in order
    Bytes flagTable;   // 512 bytes
    Bytes build;       // 512 bytes
    BuildRecord buildRecord;
    Bytes pageBitmap;  // read from its pages, the bitmap's length
    std::vector<int> setBlocks;  // blocks of each block set the table lists
};

// The index tables of one block set.
struct IndexTables {
    int set = -1;
    int64_t level1Page = -1;
    std::vector<int> reserved;
    std::vector<int> level2Blocks;
    std::vector<int> dataBlocks;  // from the level-2 tables, in order
};

struct SystemArea {
    std::string error;  // set when the folder holds no readable device
    int firmware = 0;   // 240, 300, 310, ... as the device reports it
    std::vector<Copy> copies;
    std::vector<IndexTables> indexTables;
    std::vector<std::string> problems;
};

namespace detail {

using Tessor::SECTOR_BYTES;

// Where a chip set's table keeps what the reader needs: offsets of the
// code-control block in the sector, fields within that block.
struct Layout {
    int chipSet;
    int code;             // code-control block in the sector
    int buildOffset;      // page offset of the build information in the sector
    int chip;             // table's chip, -1: none
    int block;            // table's block (16 bits)
    int page;             // table's page
    int flagPage;         // flag table's page from the table block's page 0
    int codeLow;          // low bytes of the code pages, -1: none
    int codeHigh;         // bits 8 and 9 of the code pages, four to a byte; -1: none
    int codeEntries;
    int codeIndexPage;    // 6605: page of the external-code index, -1: none
    int pageBitmapBlocks; // 16 blocks
    int blockSets;        // number of block sets
    int setSectorsPerPage;  // five bytes, -1: none
    int setStartSector;     // five bytes, -1: none
    int setBlocks;          // five 16-bit counts
    int indexByte;          // the code-control byte the index record repeats, -1: none
    int blockModeBit;       // block-mode bit of the code-control byte 1, -1: none
    int planeByte;          // FLASH_INFO's planes, interleaves and chips, each less one, in the sector
    int systemCountCopy;    // the copy of the system area's sector count, -1: none
};

inline const Layout* layoutOf(int chipSet)
{
    static const Layout kLayouts[] = {
        {1, 0x86, 0x1FF, -1, 7, 9, 10, 11, -1, 30, -1, 44, 82, -1, -1, 83, -1, -1, 0x0C + 26, -1},
        {3, 0x7F, 0x1FF, 9, 10, 12, 43, 13, -1, 30, -1, 48, 85, 91, 86, 96, 44, 2, 0x0C + 15, 46},
        {4, 0x87, 0x1AF, 9, 10, 12, 63, 13, 53, 40, -1, 68, 105, 111, 106, 116, 64, 2, 0x0C + 15, 66},
        {5, 0x87, 0x1AF, 9, 10, 12, 63, 13, 53, 40, -1, 68, 105, 111, 106, 116, 64, 2, 0x0C + 15, 66},
        {6, 0x88, 0x1B0, 9, 10, 12, 63, 13, 53, 40, -1, 68, 105, 111, 106, 116, 64, 2, 0x0C + 15, 66},
        {7, 0x7D, 0x1FF, 6, 7, 9, 11, -1, -1, 0, 12, 17, 54, 60, 55, 65, 10, 1, 0x0C + 15, 14},
    };
    for (const Layout& l : kLayouts) {
        if (l.chipSet == chipSet) {
            return &l;
        }
    }
    return nullptr;
}

inline int be16(const uint8_t* p) { return p[0] << 8 | p[1]; }
inline uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

class Reader {
public:
    Reader(const std::string& folder, SystemArea* area) : m_area(*area)
    {
        if (!Tessor::taval::DeviceDescription::load(folder, &m_description, &area->error) ||
            !m_flash.open(folder + "/" + Tessor::taval::FLASH_FILE, m_description.geometry.totalSectors(), false,
                          &area->error)) {
            return;
        }
        m_layout = layoutOf(m_description.variant->id.chipSet);
        m_area.firmware = Tessor::taval::firmwareNumber(m_description);
        const Tessor::taval::Geometry& g = m_description.geometry;
        m_ppb = g.pagesPerBlock;
        m_spp = g.sectorsPerPage;
        m_ok = m_layout != nullptr;
        if (!m_ok) {
            area->error = "no table layout for chip set " + std::to_string(m_description.variant->id.chipSet);
        }
    }

    void run()
    {
        if (!m_ok) {
            return;
        }
        std::vector<int64_t> tables, records, level1;
        eachWrittenSector([&](int64_t sector, const uint8_t* data) {
            if (Tessor::taval::hasTableSignature(data)) {
                tables.push_back(sector);
            } else if (data[0] == 0xA5 && data[1] == 0x33 && data[2] == 0x31 && sector % m_spp == 0) {
                records.push_back(sector);
            } else if (le32(data + 508) == 0x68473512 && data[0] == 24 && data[2] == 24 && data[3] == 10) {
                level1.push_back(sector);
            }
        });
        for (int64_t sector : tables) {
            readTable(sector);
        }
        for (Copy& copy : m_area.copies) {
            readCopy(copy);
        }
        for (int64_t sector : records) {
            readIndexRecord(sector);
        }
        checkPlaces();
        for (int64_t sector : level1) {
            readIndexTables(sector);
        }
        checkIndexTables();
    }

private:
    bool indexPointerFirmware() const
    {
        return m_area.firmware == 310 || m_area.firmware == 320 || m_area.firmware == 400;
    }

    void problem(const std::string& text) { m_area.problems.push_back(text); }

    Bytes sectors(int64_t first, int count)
    {
        Bytes out(size_t(count) * SECTOR_BYTES, 0xFF);
        std::vector<uint8_t> records(size_t(count) * Tessor::taval::RECORD_BYTES);
        if (first < 0 || first + count > m_flash.sectors() || !m_flash.read(first, count, records.data())) {
            problem("sectors " + std::to_string(first) + "+" + std::to_string(count) + " cannot be read");
            return out;
        }
        for (int i = 0; i < count; ++i) {
            std::copy_n(records.begin() + i * Tessor::taval::RECORD_BYTES, SECTOR_BYTES, out.begin() + i * SECTOR_BYTES);
        }
        return out;
    }

    template <class Visit>
    void eachWrittenSector(Visit&& visit)
    {
        constexpr int64_t kChunk = 256;
        for (int64_t at = m_flash.nextWritten(0); at >= 0; at = m_flash.nextWritten(at)) {
            const int64_t count = std::min(kChunk, m_flash.sectors() - at);
            const Bytes data = sectors(at, int(count));
            for (int64_t i = 0; i < count; ++i) {
                visit(at + i, data.data() + i * SECTOR_BYTES);
            }
            at += count;
        }
    }

    const uint8_t* code(const Copy& copy) const { return copy.table.data() + m_layout->code; }
    int startSector(const Copy& copy) const
    {
        return m_layout->setStartSector < 0 ? 0 : code(copy)[m_layout->setStartSector];
    }
    int sectorsPerPage(const Copy& copy) const
    {
        const int set0 = m_layout->setSectorsPerPage < 0 ? 0 : code(copy)[m_layout->setSectorsPerPage];
        return set0 == 0 ? m_spp : set0;
    }
    int64_t tableBlock(const Copy& copy) const { return copy.tablePage / m_ppb; }

    // How the table's block mode groups the flash into the blocks of the
    // block sets: the planes side by side in each lane (an interleave of a
    // chip), each lane a run of blocks of its own. One flash block to a
    // block without block mode.
    struct Grouping {
        int planes = 1;
        int lanes = 1;
        int units() const { return planes * lanes; }
    };

    Grouping groupingOf(const Copy& copy) const
    {
        const uint8_t* c = code(copy);
        if (m_layout->blockModeBit < 0 || (c[1] >> m_layout->blockModeBit & 1) == 0) {
            return {};
        }
        const uint8_t b = copy.table[size_t(m_layout->planeByte)];
        return {(b & 7) + 1, ((b >> 3 & 3) + 1) * ((b >> 5 & 3) + 1)};
    }

    Grouping grouping() const { return m_area.copies.empty() ? Grouping{} : groupingOf(m_area.copies[0]); }

    // The block-set block holding a flash block.
    int64_t setBlockOf(int64_t flashBlock) const
    {
        const Grouping g = grouping();
        return flashBlock % (m_description.geometry.totalBlocks() / g.lanes) / g.planes;
    }

    // Where a block-set block's index table lies: on its first plane of the
    // first lane.
    int flashBlockOf(int setBlock) const { return setBlock * grouping().planes; }

    Bytes pageSectors(const Copy& copy, int64_t page, int count)
    {
        return sectors(page * m_spp + startSector(copy), count);
    }

    // A table sector is a copy where its code-control block says it is;
    // elsewhere it must repeat a copy on a lower page of the same block (the
    // partner page of triple-level-cell flash).
    void readTable(int64_t sector)
    {
        Copy copy;
        copy.table = sectors(sector, 1);
        const std::string at = "table at sector " + std::to_string(sector);
        if (!Tessor::taval::isValidTable(copy.table.data())) {
            problem(at + " has a wrong checksum");
            return;
        }
        const uint8_t* c = copy.table.data() + m_layout->code;
        const int chip = m_layout->chip < 0 ? 0 : c[m_layout->chip];
        const int64_t page = (int64_t(chip) * m_description.geometry.blocksPerChip + be16(c + m_layout->block)) *
                                 m_ppb + c[m_layout->page];
        copy.tablePage = page;
        if (sector / m_spp == page) {
            m_area.copies.push_back(copy);
            return;
        }
        m_duplicates.push_back({sector, copy.table});
        if (page / m_ppb != sector / m_spp / m_ppb || page < sector / m_spp) {
            problem(at + " names page " + std::to_string(page) + " as its place");
        }
    }

    void readCopy(Copy& copy)
    {
        const uint8_t* c = code(copy);
        const int spp = sectorsPerPage(copy);
        const int64_t block = tableBlock(copy);
        for (int i = 0; i < m_layout->codeEntries; ++i) {
            int page = c[m_layout->codeLow + i];
            if (m_layout->codeHigh >= 0) {
                page |= (c[m_layout->codeHigh + i / 4] >> (2 * (i % 4)) & 3) << 8;
            }
            if (page == (m_layout->codeHigh >= 0 ? 0x3FF : 0xFF)) {
                break;
            }
            copy.codePages.push_back(block * m_ppb + page);
        }
        if (m_layout->codeIndexPage >= 0) {
            // The index is the first page after the table, in its block or the next.
            const int page = c[m_layout->codeIndexPage];
            copy.codeIndexPage = (page > copy.tablePage % m_ppb ? block : block + 1) * m_ppb + page;
            const Bytes index = pageSectors(copy, copy.codeIndexPage, 1);
            for (size_t k = 0; k + 1 < index.size() && be16(&index[k]) != 0 && be16(&index[k]) != 0xFFFF; k += 2) {
                copy.codePages.push_back(block * m_ppb + be16(&index[k]));
            }
        }
        if (copy.codePages.empty()) {
            problem("table at page " + std::to_string(copy.tablePage) + " lists no code page");
        }
        for (int64_t page : copy.codePages) {
            const Bytes data = pageSectors(copy, page, spp);
            copy.code.insert(copy.code.end(), data.begin(), data.end());
        }
        copy.flagPage = block * m_ppb + c[m_layout->flagPage];
        copy.flagTable = pageSectors(copy, copy.flagPage, 1);
        copy.buildPage = copy.tablePage + copy.table[size_t(m_layout->buildOffset)];
        copy.build = pageSectors(copy, copy.buildPage, 1);
        readBuild(copy);
        const int sets = std::min<int>(c[m_layout->blockSets], 5);
        for (int i = 0; i < sets; ++i) {
            copy.setBlocks.push_back(be16(c + m_layout->setBlocks + 2 * i));
        }
        // The sector count follows the page-bitmap blocks and two bytes.
        const int systemCount = c[m_layout->pageBitmapBlocks + 34];
        if (m_layout->systemCountCopy >= 0 && c[m_layout->systemCountCopy] != systemCount) {
            problem("table at page " + std::to_string(copy.tablePage) + " gives the system area " +
                    std::to_string(systemCount) + " sectors and its copy " +
                    std::to_string(c[m_layout->systemCountCopy]));
        }
        readPageBitmap(copy, spp);
    }

    void readBuild(Copy& copy)
    {
        const uint8_t* b = copy.build.data();
        BuildRecord& r = copy.buildRecord;
        r.toolVersion = le32(b);
        r.codeVersion = uint16_t(b[4] | b[5] << 8);
        r.eccBytes = b[16];
        r.scanPriority = b[17];
        r.scanLevel = b[18];
        r.realCapacity = le32(b + 21);
        r.configCapacity = le32(b + 25);
        r.totalCapacity = le32(b + 29);
        r.badSectors = le32(b + 33);
        r.password.assign(reinterpret_cast<const char*>(b + 37), strnlen(reinterpret_cast<const char*>(b + 37), 18));
        if (std::any_of(b + 55, b + SECTOR_BYTES, [](uint8_t x) { return x != 0; })) {
            problem("build information at page " + std::to_string(copy.buildPage) + " has data past its record");
        }
    }

    // The page bitmap lies on the usable pages of its blocks, which the flag
    // table gives: the bitmap's own bits of those blocks.
    void readPageBitmap(Copy& copy, int spp)
    {
        const uint8_t* c = code(copy);
        const int perBlock = (m_ppb + 7) / 8;
        for (int i = 0; i < 16; ++i) {
            const int block = be16(c + m_layout->pageBitmapBlocks + 2 * i);
            if (block == 0xFFFF) {
                break;
            }
            copy.pageBitmapBlocks.push_back(block);
        }
        const std::string at = "copy at page " + std::to_string(copy.tablePage);
        // Grouped planes keep no page bitmap, except on firmware 4.00.
        if (copy.pageBitmapBlocks.empty() && groupingOf(copy).units() > 1 && m_area.firmware != 400) {
            return;
        }
        const size_t flagBytes = copy.pageBitmapBlocks.size() * size_t(perBlock);
        if (copy.pageBitmapBlocks.empty() || flagBytes > SECTOR_BYTES) {
            problem(at + ": " + std::to_string(copy.pageBitmapBlocks.size()) + " page-bitmap blocks");
            return;
        }
        if (std::any_of(copy.flagTable.begin() + long(flagBytes), copy.flagTable.end(), [](uint8_t x) { return x != 0; })) {
            problem(at + ": flag table has data past its " + std::to_string(flagBytes) + " bytes");
        }
        const size_t length = size_t((m_description.geometry.totalBlocks() * m_ppb + 7) / 8);
        const int64_t needed = int64_t((length + SECTOR_BYTES - 1) / SECTOR_BYTES);
        int64_t read = 0;
        for (size_t k = 0; k < copy.pageBitmapBlocks.size() && read < needed; ++k) {
            const uint8_t* bits = copy.flagTable.data() + k * size_t(perBlock);
            for (int p = 0; p < m_ppb && read < needed; ++p) {
                if ((bits[p / 8] >> (p % 8) & 1) == 0) {
                    const int n = int(std::min<int64_t>(spp, needed - read));
                    copy.pageBitmapPages.push_back(int64_t(copy.pageBitmapBlocks[k]) * m_ppb + p);
                    const Bytes data = pageSectors(copy, copy.pageBitmapPages.back(), n);
                    copy.pageBitmap.insert(copy.pageBitmap.end(), data.begin(), data.end());
                    read += n;
                }
            }
        }
        if (read < needed) {
            problem(at + ": the page bitmap's blocks hold " + std::to_string(read) + " of its " +
                    std::to_string(needed) + " sectors");
            return;
        }
        copy.pageBitmap.resize(length);
        for (size_t k = 0; k < copy.pageBitmapBlocks.size(); ++k) {
            const size_t first = size_t(copy.pageBitmapBlocks[k]) * size_t(m_ppb) / 8;
            if (!std::equal(copy.flagTable.begin() + long(k * size_t(perBlock)),
                            copy.flagTable.begin() + long((k + 1) * size_t(perBlock)), copy.pageBitmap.begin() + long(first))) {
                problem(at + ": flag table bytes of block " + std::to_string(copy.pageBitmapBlocks[k]) +
                        " differ from the page bitmap's");
            }
        }
    }

    // A 2048-byte image of four 12-byte records in 0xCC.
    void readIndexRecord(int64_t sector)
    {
        const Bytes image = sectors(sector, 4);
        const uint8_t* r = image.data();
        const std::string at = "index record at page " + std::to_string(sector / m_spp);
        bool whole = true;
        for (int copy = 0; copy < 4; ++copy) {
            whole = whole && std::equal(r, r + 12, r + copy * SECTOR_BYTES) &&
                    std::all_of(r + copy * SECTOR_BYTES + 12, r + (copy + 1) * SECTOR_BYTES, [](uint8_t x) { return x == 0xCC; });
        }
        if (!whole || !Tessor::taval::isIndexRecord(r)) {
            problem(at + " is not a whole record");
            return;
        }
        const int64_t target = int64_t(r[5]) << 16 | r[6] << 8 | r[7];
        for (Copy& copy : m_area.copies) {
            if (copy.tablePage == target) {
                if (m_layout->indexByte >= 0 && r[8] != code(copy)[m_layout->indexByte]) {
                    problem(at + " repeats another code-control byte than its table");
                }
                copy.indexRecords.push_back(sector / m_spp);
                return;
            }
        }
        problem(at + " points at page " + std::to_string(target) + ", where no table is");
    }

    // Index-pointer firmware finds a table through an index record on a step
    // page of block 2 or later; chip sets 3 and 7 find it on a step page.
    void checkPlaces()
    {
        const int chipSet = m_description.variant->id.chipSet;
        for (const Copy& copy : m_area.copies) {
            const std::string at = "table at page " + std::to_string(copy.tablePage);
            if (indexPointerFirmware()) {
                const bool found = std::any_of(copy.indexRecords.begin(), copy.indexRecords.end(), [&](int64_t page) {
                    return page / m_ppb >= 2 && Tessor::taval::isStepPage(page);
                });
                if (!found) {
                    problem(at + " has no index record on a step page");
                }
            } else if ((chipSet == 3 || chipSet == 7) && !Tessor::taval::isStepPage(copy.tablePage)) {
                problem(at + " is not on a step page");
            }
        }
        for (const auto& duplicate : m_duplicates) {
            const bool repeats = std::any_of(m_area.copies.begin(), m_area.copies.end(), [&](const Copy& copy) {
                return copy.table == duplicate.second;
            });
            if (!repeats) {
                problem("table at sector " + std::to_string(duplicate.first) + " repeats no copy");
            }
        }
    }

    int64_t firstUsablePage(int block) const
    {
        if (m_area.copies.empty() || m_area.copies[0].pageBitmap.empty()) {
            return int64_t(block) * m_ppb;
        }
        const Bytes& bits = m_area.copies[0].pageBitmap;
        for (int p = 0; p < m_ppb; ++p) {
            const int64_t page = int64_t(block) * m_ppb + p;
            if ((bits[size_t(page / 8)] >> (page % 8) & 1) == 0) {
                return page;
            }
        }
        return -1;
    }

    void readIndexTables(int64_t sector)
    {
        const Bytes table = sectors(sector, 1);
        const uint8_t* t = table.data();
        IndexTables tables;
        tables.set = t[507];
        tables.level1Page = sector / m_spp;
        // A repeat on the partner page of triple-level-cell flash lies lower in the same block.
        for (IndexTables& other : m_area.indexTables) {
            if (other.set == tables.set && other.level1Page / m_ppb == tables.level1Page / m_ppb &&
                sectors(other.level1Page * m_spp + sector % m_spp, 1) == table) {
                other.level1Page = std::max(other.level1Page, tables.level1Page);
                return;
            }
        }
        const std::string at = "level-1 table at page " + std::to_string(tables.level1Page);
        const int head = m_area.firmware == 240 ? 8 : 6;
        const int level2 = t[1];
        for (int i = 0; i < 24; ++i) {
            tables.reserved.push_back(be16(t + head + 170 + 2 * i));
        }
        for (int i = 0; i < level2; ++i) {
            tables.level2Blocks.push_back(be16(t + head + 218 + 2 * i));
        }
        if (m_area.firmware != 240 &&
            std::any_of(t + head + 218 + 2 * level2, t + head + 218 + 3 * level2, [](uint8_t x) { return x != 0; })) {
            problem(at + ": the level-2 tables' zero bytes are not zero");
        }
        for (int block : tables.level2Blocks) {
            const int64_t page = block == 0xFFFF ? -1 : firstUsablePage(flashBlockOf(block));
            if (page < 0) {
                problem(at + " lists level-2 table block " + std::to_string(block));
                continue;
            }
            const Bytes entries = sectors(page * m_spp + sector % m_spp, 1);
            for (size_t k = 0; k < entries.size() && be16(&entries[k]) != 0; k += 2) {
                tables.dataBlocks.push_back(be16(&entries[k]));
            }
        }
        m_area.indexTables.push_back(tables);
    }

    // Every block a set's tables name is named once and holds no system page;
    // the data blocks are as many as the table says the set holds. With
    // grouped planes the tables count in groups.
    void checkIndexTables()
    {
        std::set<int64_t> system;
        for (const Copy& copy : m_area.copies) {
            std::vector<int64_t> pages = copy.codePages;
            pages.insert(pages.end(), copy.indexRecords.begin(), copy.indexRecords.end());
            pages.insert(pages.end(), {copy.tablePage, copy.flagPage, copy.buildPage, copy.codeIndexPage});
            for (int64_t page : pages) {
                system.insert(setBlockOf(page / m_ppb));
            }
            system.insert(copy.pageBitmapBlocks.begin(), copy.pageBitmapBlocks.end());
        }
        std::set<int> named;
        for (const IndexTables& tables : m_area.indexTables) {
            const std::string at = "index tables of set " + std::to_string(tables.set);
            std::vector<int> blocks = tables.reserved;
            blocks.insert(blocks.end(), tables.level2Blocks.begin(), tables.level2Blocks.end());
            blocks.insert(blocks.end(), tables.dataBlocks.begin(), tables.dataBlocks.end());
            blocks.push_back(int(setBlockOf(tables.level1Page / m_ppb)));
            for (int block : blocks) {
                if (!named.insert(block).second) {
                    problem(at + " name block " + std::to_string(block) + " twice");
                }
                if (system.count(block) != 0) {
                    problem(at + " name block " + std::to_string(block) + ", which holds the system area");
                }
            }
            if (!m_area.copies.empty()) {
                const std::vector<int>& sets = m_area.copies[0].setBlocks;
                if (tables.set >= int(sets.size()) || sets[size_t(tables.set)] != int(tables.dataBlocks.size())) {
                    problem(at + " list " + std::to_string(tables.dataBlocks.size()) +
                            " data blocks, the table another count");
                }
            }
        }
    }

    SystemArea& m_area;
    Tessor::taval::DeviceDescription m_description;
    Tessor::taval::FlashStore m_flash;
    const Layout* m_layout = nullptr;
    int m_ppb = 1;
    int m_spp = 1;
    bool m_ok = false;
    std::vector<std::pair<int64_t, Bytes>> m_duplicates;
};

}  // namespace detail

// Reads the device kept in `folder`.
inline SystemArea read(const std::string& folder)
{
    SystemArea area;
    detail::Reader reader(folder, &area);
    reader.run();
    return area;
}

}  // namespace system_area
