// Flash and logical-disk operations of the simulated device.
#include <algorithm>
#include <cstring>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/PlatformLog.h"
#include "platform/taval/SpareZone.h"
#include "platform/taval/VirtualDevice.h"

namespace Tessor::taval {

namespace {
constexpr uint64_t kSaltPattern = 3;
constexpr uint64_t kSaltChange = 4;
constexpr uint64_t kSaltMedia = 7;
constexpr uint64_t kSaltTiming = 8;
// Symbols a corrupted sector shows: more than the code corrects.
constexpr int kCorruptSymbols = 16;

bool fits(int64_t count, int capacity) {
    if (count <= 0 || count * SECTOR_BYTES > capacity) {
        PLATFORM_LOG(3, "%lld sectors do not fit a buffer of %d bytes", (long long)count, capacity);
        return false;
    }
    return true;
}
}  // namespace

int64_t VirtualDevice::flashRange(int chip, int64_t sector, int64_t count) {
    bool disagrees = false;
    const int64_t first = normaliseSector(m_description.geometry, chip, sector, &disagrees);
    if (first < 0 || count <= 0 || first + count > m_description.geometry.totalSectors()) {
        PLATFORM_LOG(3, "flash sectors %lld+%lld of chip %d outside the flash", (long long)sector, (long long)count, chip);
        return -1;
    }
    if (disagrees) {
        m_disagreements.fetch_add(1);
        PLATFORM_LOG(4, "sector %lld does not lie on chip %d", (long long)sector, chip);
    }
    return first;
}

const GroupedAddressing& VirtualDevice::addressing() const {
    return m_ram.firmwareMode() == ControllerRam::kNoFirmware ? m_bootAddressing : m_flatAddressing;
}

bool VirtualDevice::readSectors(int64_t raw, int count, bool correct, uint8_t* out) {
    for (const auto& [first, n] : addressing().runs(raw, count)) {
        if (!m_description.geometry.allExist(first, n)) {
            PLATFORM_LOG(3, "sectors %lld+%d lie where the part has no flash", (long long)first, n);
            return false;
        }
        if (!readStored(first, n, correct, out)) {
            return false;
        }
        applyMedia(first, n, out);
        out += size_t(n) * SECTOR_BYTES;
    }
    return true;
}

bool VirtualDevice::programAddressed(int64_t raw, int count, const uint8_t* data) {
    for (const auto& [first, n] : addressing().runs(raw, count)) {
        if (!programSectors(first, n, data)) {
            return false;
        }
        data += size_t(n) * SECTOR_BYTES;
    }
    return true;
}

void VirtualDevice::applyMedia(int64_t first, int count, uint8_t* out) {
    const Geometry& g = m_description.geometry;
    const FaultRules& f = m_description.faults;
    const bool tooFast = cycleTooFast(m_ramInfo.readCycle);
    ++m_tests;
    for (int i = 0; i < count; ++i) {
        const int64_t sector = first + i;
        uint8_t* data = out + size_t(i) * SECTOR_BYTES;
        if (m_pages.state(sector / g.sectorsPerPage) == PageState::Pattern) {
            fillControllerPattern(data, 1);
        }
        const int wrong = f.wrongBytes(sector, g, m_pages, m_tests);
        if (wrong > 0 || tooFast) {
            injectSymbolErrors(data, tooFast ? kCorruptSymbols : std::min(wrong, kCorruptSymbols),
                               f.hash(kSaltMedia, uint64_t(sector) ^ m_tests << 40));
        }
    }
}

bool VirtualDevice::cycleTooFast(int cycle) const {
    const int least = m_description.faults.minCycle();
    return m_ramInfo.present && least != 0 && cycle < least;
}

bool VirtualDevice::readStored(int64_t first, int count, bool correct, uint8_t* out) {
    if (m_flash.isErased(first, count)) {
        std::memset(out, 0xFF, size_t(count) * SECTOR_BYTES);
        return true;
    }
    m_records.resize(size_t(count) * RECORD_BYTES);
    if (!m_flash.read(first, count, m_records.data())) {
        return false;
    }
    const FaultRules& f = m_description.faults;
    const int spp = m_description.geometry.sectorsPerPage;
    for (int i = 0; i < count; ++i) {
        const int64_t sector = first + i;
        uint8_t* record = m_records.data() + size_t(i) * RECORD_BYTES;
        uint8_t* data = out + size_t(i) * SECTOR_BYTES;
        std::memcpy(data, record, SECTOR_BYTES);
        if (!isProgrammed(record)) {
            continue;  // erased reads as 0xFF
        }
        const int symbols = f.readErrorSymbols(sector);
        if (symbols > 0 || (correct && hasStoredParity(record))) {
            uint8_t zone[SPARE_BYTES];
            zoneOf(record, zone);
            injectSymbolErrors(data, symbols, f.hash(kSaltPattern, uint64_t(sector)));
            if (correct && !correctSector(data, zone)) {
                PLATFORM_LOG(3, "sector %lld is uncorrectable", (long long)sector);
                return false;
            }
        }
        if (f.pageChanges(sector / spp)) {
            data[f.hash(kSaltChange, uint64_t(sector)) % SECTOR_BYTES] ^= 0x01;
        }
    }
    return true;
}

bool VirtualDevice::programSectors(int64_t first, int count, const uint8_t* data, bool scanWrite) {
    const FaultRules& f = m_description.faults;
    const Geometry& g = m_description.geometry;
    if (!g.allExist(first, count)) {
        PLATFORM_LOG(3, "program of sectors %lld+%d where the part has no flash", (long long)first, count);
        return false;
    }
    for (int64_t s = first; s < first + count; ++s) {
        if (f.isFactoryBad(s / g.sectorsPerBlock()) || f.programFails(s / g.sectorsPerPage)) {
            PLATFORM_LOG(3, "program of sector %lld failed", (long long)s);
            return false;
        }
    }
    m_records.resize(size_t(count) * RECORD_BYTES);
    if (m_flash.isErased(first, count)) {
        std::memset(m_records.data(), 0xFF, m_records.size());
    } else if (!m_flash.read(first, count, m_records.data())) {
        return false;
    }
    const bool tooFast = cycleTooFast(m_ramInfo.writeCycle);
    uint8_t garbled[SECTOR_BYTES];
    for (int i = 0; i < count; ++i) {
        uint8_t* record = m_records.data() + size_t(i) * RECORD_BYTES;
        const uint8_t* in = data + size_t(i) * SECTOR_BYTES;
        if (tooFast) {
            // Programmed faster than the flash takes it: the cells keep other bits.
            std::memcpy(garbled, in, SECTOR_BYTES);
            injectSymbolErrors(garbled, kCorruptSymbols, f.hash(kSaltTiming, uint64_t(first + i)));
            in = garbled;
        }
        if (!isProgrammed(record)) {
            std::memcpy(record, in, SECTOR_BYTES);
            markProgrammed(record);
        } else if (std::memcmp(record, in, SECTOR_BYTES) != 0) {
            if (m_description.strictProgram) {
                PLATFORM_LOG(3, "sector %lld is programmed already with other data", (long long)(first + i));
                return false;
            }
            programOver(record, in);
        }
    }
    if (!m_flash.write(first, count, m_records.data())) {
        return false;
    }
    for (int64_t page = first / g.sectorsPerPage; page <= (first + count - 1) / g.sectorsPerPage; ++page) {
        m_pages.program(page, PageState::Data, scanWrite);
    }
    return true;
}

bool VirtualDevice::readFlash(int chip, int64_t sector, int count, uint8_t* out, int capacity, int* length) {
    return perform(OpKind::Read, chip, sector, count, [&] {
        const int64_t first = flashRange(chip, sector, count);
        if (first < 0 || !fits(count, capacity) || !readSectors(first, count, true, out)) {
            return false;
        }
        *length = count * SECTOR_BYTES;
        m_timing.charge(ceilDivide(int64_t(count), m_description.geometry.sectorsPerPage), 0, 0, *length);
        return true;
    });
}

bool VirtualDevice::readRaw(int chip, int64_t sector, int count, uint8_t* out, int capacity, int* length) {
    return perform(OpKind::RawRead, chip, sector, count, [&] {
        const int64_t first = flashRange(chip, sector, count);
        if (first < 0 || !fits(count, capacity) || !readSectors(first, count, false, out)) {
            return false;
        }
        *length = count * SECTOR_BYTES;
        m_timing.charge(ceilDivide(int64_t(count), m_description.geometry.sectorsPerPage), 0, 0, *length);
        return true;
    });
}

bool VirtualDevice::writeFlash(int chip, int64_t sector, int count, const uint8_t* data) {
    return perform(OpKind::Program, chip, sector, count, [&] {
        const int64_t first = flashRange(chip, sector, count);
        if (first < 0 || data == nullptr || !programAddressed(first, count, data)) {
            return false;
        }
        m_timing.charge(0, ceilDivide(int64_t(count), m_description.geometry.sectorsPerPage), 0, int64_t(count) * SECTOR_BYTES);
        return true;
    });
}

bool VirtualDevice::writeRaw(int chip, int64_t sector, int count, const uint8_t* data) {
    return perform(OpKind::RawWrite, chip, sector, count, [&] {
        const int64_t first = flashRange(chip, sector, count);
        return first >= 0 && data != nullptr && programAddressed(first, count, data);
    });
}

bool VirtualDevice::writeIndexTable(int chip, int64_t sector, int setNo, const uint8_t* table) {
    return perform(OpKind::IndexTable, chip, sector, setNo, [&] {
        const int64_t first = flashRange(chip, sector, 1);
        if (first < 0 || table == nullptr || !programAddressed(first, 1, table)) {
            return false;
        }
        m_timing.charge(0, 1, 0, SECTOR_BYTES);
        return true;
    });
}

bool VirtualDevice::eraseBlocks(int chip, int64_t sectorInChip, int count) {
    return perform(OpKind::Erase, chip, sectorInChip, count, [&] {
        const Geometry& g = m_description.geometry;
        const int64_t spb = g.sectorsPerBlock();
        const int64_t first = flashRange(chip, sectorInChip, int64_t(count) * spb);
        if (first < 0 || first % spb != 0) {
            PLATFORM_LOG(3, "erase at sector %lld of chip %d is not a block start", (long long)sectorInChip, chip);
            return false;
        }
        for (int64_t b : addressing().blocks(first, int64_t(count) * spb)) {
            if (!m_present) {
                return false;  // pulled out: the blocks left stay as they were
            }
            if (!g.exists(b * spb)) {
                continue;  // a block the part does not have: nothing to erase
            }
            if (m_description.faults.eraseFails(b)) {
                PLATFORM_LOG(3, "erase of block %lld failed", (long long)b);
                return false;
            }
            // Pattern-only blocks have no data in the array to punch out.
            const int64_t firstPage = b * g.pagesPerBlock;
            if (m_pages.anyData(firstPage, g.pagesPerBlock) && !m_flash.erase(b * spb, spb)) {
                return false;
            }
            m_pages.erase(firstPage, g.pagesPerBlock);
            m_timing.charge(0, 0, 1, 0);
        }
        return true;
    });
}

bool VirtualDevice::servesDisk(OpKind kind) const {
    if (m_ram.firmwareMode() != 0) {
        return true;
    }
    PLATFORM_LOG(3, "%s on %s refused: its firmware runs in mode 0", opKindName(kind), m_description.driveText.c_str());
    return false;
}

bool VirtualDevice::readLogical(int64_t first, int64_t count, uint8_t* out, int capacity, int* length) {
    return perform(OpKind::LogicalRead, first, count, 0, [&] {
        if (!servesDisk(OpKind::LogicalRead) || !fits(count, capacity) || !m_logical.read(first, count, out)) {
            return false;
        }
        *length = int(count) * SECTOR_BYTES;
        m_timing.charge(0, 0, 0, *length);
        return true;
    });
}

bool VirtualDevice::writeLogical(int64_t first, int64_t count, const uint8_t* data) {
    return perform(OpKind::LogicalWrite, first, count, 0, [&] {
        if (!servesDisk(OpKind::LogicalWrite) || data == nullptr || !m_logical.write(first, count, data)) {
            return false;
        }
        m_timing.charge(0, 0, 0, count * SECTOR_BYTES);
        return true;
    });
}

}  // namespace Tessor::taval
