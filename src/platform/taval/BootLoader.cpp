#include "platform/taval/BootLoader.h"

#include <algorithm>
#include <set>

#include "platform/orrin/ByteOrder.h"
#include "platform/taval/ConfigTableSector.h"
#include "platform/taval/Geometry.h"
#include "platform/taval/SpareZone.h"

namespace Tessor::taval {

namespace {

// Six stages of steps; a step of stage r is base x 2^r + 13.
void addSteps(int64_t base, int perStage, std::set<int64_t>* pages) {
    int64_t x = 0;
    for (int t = 0; t < 6 * perStage; ++t) {
        pages->insert(x);
        x += (base << (t / perStage)) + 13;
    }
}

const std::set<int64_t>& stepPages() {
    // Never destroyed: a plug-in may still boot a device while the process exits.
    static const std::set<int64_t>* const pages = [] {
        auto* p = new std::set<int64_t>();
        addSteps(64, 256, p);
        addSteps(128, 128, p);
        return p;
    }();
    return *pages;
}

bool readSector(FlashStore& flash, int64_t sector, std::vector<uint8_t>* record) {
    record->resize(RECORD_BYTES);
    return sector >= 0 && sector < flash.sectors() && !flash.isErased(sector, 1) &&
           flash.read(sector, 1, record->data()) && isProgrammed(record->data());
}

BootResult bootFrom(int64_t sector, const std::vector<uint8_t>& record, int tableLength) {
    BootResult result;
    result.sector = sector;
    result.table.assign(record.begin(), record.begin() + SECTOR_BYTES);
    result.table.resize(size_t(tableLength), 0);
    return result;
}

BootResult findPlaced(FlashStore& flash, const DeviceDescription& d) {
    const Geometry& g = d.geometry;
    const int firmware = firmwareNumber(d);
    const bool indexPointer = firmware == 310 || firmware == 320 || firmware == 400;
    const int chipSet = d.variant->id.chipSet;
    if (!indexPointer && chipSet != 3 && chipSet != 7) {
        return {};
    }
    const int64_t pages = g.totalSectors() / g.sectorsPerPage;
    std::vector<uint8_t> record;
    for (int64_t page : stepPages()) {
        if (page >= pages) {
            break;
        }
        if (!readSector(flash, page * g.sectorsPerPage, &record)) {
            continue;
        }
        if (!indexPointer) {
            if (isValidTable(record.data())) {
                return bootFrom(page * g.sectorsPerPage, record, d.variant->tableLength);
            }
            continue;
        }
        if (page / g.pagesPerBlock < 2 || !isIndexRecord(record.data())) {
            continue;
        }
        const int64_t table = (int64_t(record[5]) << 16 | record[6] << 8 | record[7]) * g.sectorsPerPage;
        if (readSector(flash, table, &record) && isValidTable(record.data())) {
            return bootFrom(table, record, d.variant->tableLength);
        }
    }
    return {};
}

BootResult findAnywhere(FlashStore& flash, int tableLength) {
    constexpr int64_t kChunk = 256;
    std::vector<uint8_t> records(size_t(kChunk) * RECORD_BYTES);
    int64_t at = flash.nextWritten(0);
    while (at >= 0 && at < flash.sectors()) {
        const int64_t count = std::min(kChunk, flash.sectors() - at);
        if (!flash.read(at, count, records.data())) {
            break;
        }
        for (int64_t i = 0; i < count; ++i) {
            const uint8_t* record = records.data() + i * RECORD_BYTES;
            if (isProgrammed(record) && isValidTable(record)) {
                return bootFrom(at + i, std::vector<uint8_t>(record, record + RECORD_BYTES), tableLength);
            }
        }
        at = flash.nextWritten(at + count);
    }
    return {};
}

}  // namespace

bool isIndexRecord(const uint8_t* r) {
    uint8_t x = 0;
    for (int i = 0; i < 9; ++i) {
        x ^= r[i];
    }
    int sum = 0;
    for (int i = 0; i < 12; i += 2) {
        sum += fieldAt<Be16>(r + i);
    }
    return r[0] == 0xA5 && r[1] == 0x33 && r[2] == 0x31 && (r[3] & 0xF) == (~r[3] >> 4 & 0xF) && r[4] == 0 &&
           r[9] == x && (sum & 0xFFFF) == 0;
}

bool isStepPage(int64_t page) { return stepPages().count(page) != 0; }

int firmwareNumber(const DeviceDescription& description) {
    const std::string digits = description.firmware.empty() ? description.variant->digits : description.firmware;
    auto digit = [&](size_t i) { return digits[i] >= '0' && digits[i] <= '9' ? digits[i] - '0' : 0; };
    return digit(0) * 100 + digit(2) * 10 + digit(3);
}

BootResult findConfigTable(FlashStore& flash, const DeviceDescription& description) {
    BootResult placed = findPlaced(flash, description);
    return placed.sector >= 0 ? placed : findAnywhere(flash, description.variant->tableLength);
}

}  // namespace Tessor::taval
