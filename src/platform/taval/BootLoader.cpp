#include "platform/taval/BootLoader.h"

#include <algorithm>

#include "platform/taval/ConfigTableSector.h"
#include "platform/taval/Geometry.h"
#include "platform/taval/SpareZone.h"

namespace Tessor::taval {

BootResult findConfigTable(FlashStore& flash, int tableLength) {
    constexpr int64_t kChunk = 256;
    std::vector<uint8_t> records(size_t(kChunk) * RECORD_BYTES);
    BootResult result;
    int64_t at = flash.nextWritten(0);
    while (at >= 0 && at < flash.sectors()) {
        const int64_t count = std::min(kChunk, flash.sectors() - at);
        if (!flash.read(at, count, records.data())) {
            break;
        }
        for (int64_t i = 0; i < count; ++i) {
            const uint8_t* record = records.data() + i * RECORD_BYTES;
            if (isProgrammed(record) && isValidTable(record)) {
                result.sector = at + i;
                result.table.assign(record, record + SECTOR_BYTES);
                result.table.resize(size_t(tableLength), 0);
                return result;
            }
        }
        at = flash.nextWritten(at + count);
    }
    return result;
}

}  // namespace Tessor::taval
