// The controller's scan firmware: it writes its own pattern over the units
// a command names and reports, one bit a sector, which failed. Only page
// states change, so pattern passes cost no flash-array I/O.
#include <algorithm>
#include <cstring>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/PlatformLog.h"
#include "platform/taval/VirtualDevice.h"

namespace Tessor::taval {

namespace {
constexpr int kCheckCondition = 2;
constexpr int kOpPattern = 1;
constexpr int kOpResult = 2;
constexpr int kOpPrepare = 3;
constexpr int kMaxScanWriteSectors = 32;

// What the op log keeps of a scan command: op | flag << 8, start, jump << 16 | repeat.
int64_t opAndFlag(const ScanCommand& c) { return c.op | c.flag << 8; }
int64_t jumpAndRepeat(const ScanCommand& c) { return int64_t(c.jump) << 16 | c.repeat; }
}  // namespace

bool VirtualDevice::vendorAnswers() {
    const FaultRules& f = m_description.faults;
    if (f.vendorFailAfter() == 0 || m_vendorGood < f.vendorFailAfter()) {
        ++m_vendorGood;
        return true;
    }
    if (f.vendorFailAttempts() != 0 && m_vendorFailedAttempts >= f.vendorFailAttempts()) {
        ++m_vendorGood;  // the transient episode is over
        return true;
    }
    ++m_vendorFailedAttempts;
    PLATFORM_LOG(3, "vendor command fails by its fault rule (attempt %d)", m_vendorFailedAttempts);
    return false;
}

int VirtualDevice::vendorCommand(const uint8_t* cdb, uint8_t* buffer, int length) {
    const ScanCommand c = ScanCommand::fromCdb(cdb);
    uint8_t result[SCAN_RESULT_BYTES];
    const bool ok = perform(OpKind::Vendor, opAndFlag(c), c.sector, jumpAndRepeat(c), [&] {
        if (cdb[0] != 0xD4 || length < SCAN_RESULT_BYTES) {
            PLATFORM_LOG(3, "vendor operation 0x%02X with %d bytes is not the scan read", cdb[0], length);
            return false;
        }
        return vendorAnswers() && runScan(c, result);
    });
    // The transfer is the 1024 result bytes, nothing beyond; a failed
    // command reports every sector failed.
    if (length >= SCAN_RESULT_BYTES) {
        if (!ok) {
            std::memset(result, 0xFF, sizeof result);
        }
        std::memcpy(buffer, result, sizeof result);
    }
    return ok ? 0 : kCheckCondition;
}

bool VirtualDevice::readScan(const ScanCommand& c, uint8_t* out, int capacity, int* length) {
    if (capacity < SCAN_RESULT_BYTES) {
        return false;
    }
    const bool ok = perform(OpKind::ScanRead, opAndFlag(c), c.sector, jumpAndRepeat(c), [&] { return runScan(c, out); });
    if (!ok) {
        std::memset(out, 0xFF, SCAN_RESULT_BYTES);
    }
    *length = SCAN_RESULT_BYTES;
    return ok;
}

bool VirtualDevice::runScan(const ScanCommand& c, uint8_t* result) {
    const Geometry& g = m_description.geometry;
    bool disagrees = false;
    const int64_t start = scanStart(g, m_ramInfo, c.chip, c.sector, &disagrees);
    if (start < 0 || (c.op != kOpPattern && c.op != kOpResult)) {
        PLATFORM_LOG(3, "scan command %d at chip %d sector %lld refused", c.op, c.chip, (long long)c.sector);
        return false;
    }
    if (disagrees) {
        m_disagreements.fetch_add(1);
        PLATFORM_LOG(4, "scan sector %lld does not lie in chip group %d", (long long)c.sector, c.chip);
    }
    std::memset(result, 0, SCAN_RESULT_BYTES);
    if (c.op == kOpResult) {
        readResult(start, c, result);
    } else if (c.flag != 1) {
        programPattern(start, c);
    }
    const int64_t units = std::min(int64_t(c.repeat) * m_ramInfo.planeFactor(), SCAN_RESULT_BITS / g.sectorsPerPage);
    m_timing.charge(c.op == kOpResult ? units : 0, c.op == kOpResult ? 0 : units, 0,
                    c.op == kOpResult ? SCAN_RESULT_BYTES : 0);
    return true;
}

void VirtualDevice::programPattern(int64_t start, const ScanCommand& c) {
    const Geometry& g = m_description.geometry;
    const FaultRules& f = m_description.faults;
    const int64_t total = g.totalSectors();
    forEachScanUnit(g, m_ramInfo, start, c.jump, c.repeat, [&](int64_t d, int64_t bit) {
        if (bit >= SCAN_RESULT_BITS || d >= total || !g.exists(d)) {
            return;  // beyond what a result reports, or no such page: nothing programmed
        }
        const int64_t page = d / g.sectorsPerPage;
        if (f.isFactoryBad(d / g.sectorsPerBlock()) || f.programFails(page)) {
            return;
        }
        m_pages.program(page, PageState::Pattern);
    });
}

void VirtualDevice::readResult(int64_t start, const ScanCommand& c, uint8_t* result) {
    const Geometry& g = m_description.geometry;
    const FaultRules& f = m_description.faults;
    const int64_t total = g.totalSectors();
    const int spp = g.sectorsPerPage;
    std::memset(result, 0xFF, SCAN_RESULT_BYTES);
    ++m_tests;
    forEachScanUnit(g, m_ramInfo, start, c.jump, c.repeat, [&](int64_t d, int64_t bit) {
        if (bit >= SCAN_RESULT_BITS || d >= total || !g.exists(d)) {
            return;  // beyond the transfer, or no such page: stays failed
        }
        const int64_t page = d / spp;
        const bool programmed = m_pages.state(page) == PageState::Pattern || m_pages.scanWritten(page);
        if (!programmed) {
            return;
        }
        const int64_t first = page * spp;
        for (int i = 0; i < spp && bit + i < SCAN_RESULT_BITS; ++i) {
            if (f.wrongBytes(first + i, g, m_pages, m_tests) <= c.tolerance()) {
                result[(bit + i) / 8] &= uint8_t(~(1u << ((bit + i) % 8)));
            }
        }
    });
}

bool VirtualDevice::writeScan(int chip, int64_t sector, int value, int command, int jump, int repeat, int count,
                              const uint8_t* data) {
    return perform(OpKind::ScanWrite, command | value << 8, sector, int64_t(jump) << 16 | repeat, [&] {
        if (data == nullptr) {
            return false;
        }
        if (command == kOpPrepare) {
            return data[0] == 0xFF && data[1] == 0xFF;
        }
        const Geometry& g = m_description.geometry;
        bool disagrees = false;
        const int64_t start = scanStart(g, m_ramInfo, chip, sector, &disagrees);
        if (command != kOpPattern || start < 0 || count <= 0 || count > kMaxScanWriteSectors) {
            PLATFORM_LOG(3, "scan write %d of %d sectors at chip %d sector %lld refused", command, count, chip,
                  (long long)sector);
            return false;
        }
        // Units that cannot take the data stay unwritten; the result read says which.
        int64_t written = 0;
        forEachScanUnit(g, m_ramInfo, start, jump, repeat, [&](int64_t d, int64_t) {
            if (d + count <= g.totalSectors() && programSectors(d, count, data, true)) {
                ++written;
            }
        });
        m_timing.charge(0, written * (ceilDivide(count, g.sectorsPerPage)), 0,
                        int64_t(count) * SECTOR_BYTES);
        return true;
    });
}

}  // namespace Tessor::taval
