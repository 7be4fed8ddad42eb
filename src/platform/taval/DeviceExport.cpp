// Copies of a simulated device for outside tools: the logical disk as a
// plain image, the flash as a raw dump of 528-byte records (data and spare,
// parity filled in; an erased record is a hole that reads as zeros). Both
// are sparse: they cost what the device holds.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/orrin/CeilDivide.h"
#include "platform/taval/SpareZone.h"
#include "platform/taval/VirtualDevice.h"

namespace Tessor::taval {

namespace {

class OutFile {
public:
    explicit OutFile(const std::string& path)
        : m_fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {}
    ~OutFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    bool ok() const { return m_fd >= 0; }
    bool write(const uint8_t* p, size_t n) {
        while (n > 0) {
            const ssize_t r = ::write(m_fd, p, n);
            if (r < 0 && errno == EINTR) {
                continue;
            }
            if (r <= 0) {
                return false;
            }
            p += r;
            n -= size_t(r);
        }
        return true;
    }
    // Leaves a hole for zeros; the final size is set by finish.
    bool skip(size_t n) { return ::lseek(m_fd, off_t(n), SEEK_CUR) >= 0; }
    bool finish(int64_t size) { return ::ftruncate(m_fd, off_t(size)) == 0; }
    bool moveTo(int64_t offset) { return ::lseek(m_fd, off_t(offset), SEEK_SET) >= 0; }

private:
    int m_fd;
};

bool allZero(const uint8_t* p, size_t n) {
    return n == 0 || (p[0] == 0 && std::memcmp(p, p + 1, n - 1) == 0);
}

bool allErased(const uint8_t* p, size_t n) {
    return n == 0 || (p[0] == 0xFF && std::memcmp(p, p + 1, n - 1) == 0);
}

bool fail(const std::string& path, std::string* error) {
    *error = path + ": " + std::strerror(errno);
    return false;
}

}  // namespace

bool VirtualDevice::exportLogical(const std::string& path, std::string* error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return exportRange(path, 0, m_logical.sectors(), m_logical.sectors(), error);
}

bool VirtualDevice::exportUnits(const std::string& folder, std::vector<UnitCopy>* copies, std::string* error,
                                ExportExtent extent) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const BootResult boot = findConfigTable(m_flash, m_description);
    if (boot.sector < 0) {
        return true;
    }
    const RamLunTable units = RamLunTable::read(*m_description.variant, boot.table);
    for (int i = 0; i < RamLunTable::kSlots; ++i) {
        const RamLun& u = units.slot[i];
        if (u.capacity == 0) {
            continue;
        }
        const std::string path = folder + "/lun" + std::to_string(i) + ".img";
        if (int64_t(u.start) + u.capacity > m_logical.sectors()) {
            *error = path + ": unit " + std::to_string(i) + " reaches past the logical disk";
            return false;
        }
        int64_t exact = u.capacity;
        if (extent == ExportExtent::UpToLastWritten && m_logical.fill() != 0) {
            constexpr int64_t kMiB = (1 << 20) / SECTOR_BYTES;
            const int64_t written = m_logical.writtenEnd(u.start, u.capacity) - u.start;
            exact = std::min<int64_t>(u.capacity, ceilDivide(written, kMiB) * kMiB);
        }
        if (!exportRange(path, u.start, u.capacity, exact, error)) {
            return false;
        }
        copies->push_back({path, u.capacity, exact});
    }
    return true;
}

bool VirtualDevice::exportRange(const std::string& path, int64_t first, int64_t count, int64_t exact,
                                std::string* error) {
    OutFile out(path);
    if (!out.ok()) {
        return fail(path, error);
    }
    constexpr int64_t kChunk = 2048;
    std::vector<uint8_t> buf(size_t(kChunk) * SECTOR_BYTES);
    for (int64_t at = 0; at < exact; at += kChunk) {
        // Unwritten sectors that read as zeros stay holes of the copy
        // without being read, however large the disk.
        if (m_logical.fill() == 0) {
            const int64_t written = std::min(exact, m_logical.nextWritten(first + at) - first);
            if (written > at && !out.skip(size_t(written - at) * SECTOR_BYTES)) {
                return fail(path, error);
            }
            at = std::max(at, written);
            if (at >= exact) {
                break;
            }
        }
        const int64_t n = std::min(kChunk, exact - at);
        const size_t bytes = size_t(n) * SECTOR_BYTES;
        if (!m_logical.read(first + at, n, buf.data())) {
            *error = path + ": logical disk cannot be read at sector " + std::to_string(first + at);
            return false;
        }
        if (!(allZero(buf.data(), bytes) ? out.skip(bytes) : out.write(buf.data(), bytes))) {
            return fail(path, error);
        }
    }
    return out.finish(count * SECTOR_BYTES) || fail(path, error);
}

bool VirtualDevice::exportFlash(const std::string& path, std::string* error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    OutFile out(path);
    if (!out.ok()) {
        return fail(path, error);
    }
    constexpr int64_t kChunk = 1024;
    std::vector<uint8_t> records(size_t(kChunk) * RECORD_BYTES);
    const int64_t total = m_flash.sectors();
    for (int64_t at = 0; at < total; at += kChunk) {
        // Erased flash is a hole of the copy, found without being read.
        const int64_t next = m_flash.nextWritten(at);
        at = next < 0 ? total : std::max(at, next);
        if (at >= total) {
            break;
        }
        const int64_t n = std::min(kChunk, total - at);
        if (!m_flash.read(at, n, records.data())) {
            *error = path + ": flash cannot be read at sector " + std::to_string(at);
            return false;
        }
        if (!out.moveTo(at * RECORD_BYTES)) {
            return fail(path, error);
        }
        for (int64_t i = 0; i < n; ++i) {
            uint8_t* record = records.data() + i * RECORD_BYTES;
            if (isProgrammed(record)) {
                uint8_t zone[SPARE_BYTES];
                zoneOf(record, zone);
                std::memcpy(record + SECTOR_BYTES, zone, SPARE_BYTES);
            }
            if (!(allErased(record, RECORD_BYTES) ? out.skip(RECORD_BYTES) : out.write(record, RECORD_BYTES))) {
                return fail(path, error);
            }
        }
    }
    return out.finish(total * RECORD_BYTES) || fail(path, error);
}

}  // namespace Tessor::taval
