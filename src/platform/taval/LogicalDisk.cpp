#include "platform/taval/LogicalDisk.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/PlatformLog.h"
#include "platform/taval/Geometry.h"
#include "platform/taval/SizedFile.h"

namespace Tessor::taval {

namespace {
// The allocation unit of the host file: a hole never starts inside one.
constexpr int64_t kFileBlock = 4096;
}  // namespace

LogicalDisk::~LogicalDisk() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool LogicalDisk::open(const std::string& path, int64_t sectors, bool writable, uint8_t fill, std::string* error) {
    m_fd = openSizedFile(path, sectors * SECTOR_BYTES, writable, error);
    m_sectors = sectors;
    m_fill = fill;
    m_path = path;
    return m_fd >= 0;
}

bool LogicalDisk::inRange(int64_t first, int64_t count) const {
    if (first < 0 || count <= 0 || first + count > m_sectors) {
        PLATFORM_LOG(3, "logical sectors %lld+%lld outside the disk of %lld sectors", (long long)first, (long long)count,
              (long long)m_sectors);
        return false;
    }
    return true;
}

bool LogicalDisk::isHole(int64_t offset) const {
    const off_t data = ::lseek(m_fd, off_t(offset), SEEK_DATA);
    return data < 0 || data > offset;
}

int64_t LogicalDisk::nextWritten(int64_t first) const {
    const off_t data = ::lseek(m_fd, off_t(first * SECTOR_BYTES), SEEK_DATA);
    return data < 0 ? m_sectors : std::min<int64_t>(m_sectors, int64_t(data) / SECTOR_BYTES);
}

int64_t LogicalDisk::writtenEnd(int64_t first, int64_t count) const {
    const int64_t end = (first + count) * SECTOR_BYTES;
    int64_t last = first * SECTOR_BYTES;
    for (int64_t at = last; at < end;) {
        const off_t data = ::lseek(m_fd, off_t(at), SEEK_DATA);
        if (data < 0 || data >= end) {
            break;
        }
        const off_t hole = ::lseek(m_fd, data, SEEK_HOLE);
        at = hole < 0 ? end : std::min<int64_t>(hole, end);
        last = at;
    }
    return ceilDivide(last, SECTOR_BYTES);
}

void LogicalDisk::fillHoles(int64_t from, int64_t to, uint8_t* out) const {
    for (int64_t at = from; at < to;) {
        off_t data = ::lseek(m_fd, off_t(at), SEEK_DATA);
        const int64_t holeEnd = data < 0 ? to : std::min<int64_t>(data, to);
        std::memset(out + (at - from), m_fill, size_t(holeEnd - at));
        if (holeEnd >= to) {
            return;
        }
        const off_t hole = ::lseek(m_fd, data, SEEK_HOLE);
        at = hole < 0 ? to : int64_t(hole);
    }
}

bool LogicalDisk::fillAround(int64_t from, int64_t to) {
    const int64_t headBlock = from / kFileBlock * kFileBlock;
    const int64_t tailBlock = to / kFileBlock * kFileBlock;
    const int64_t tailEnd = std::min(m_sectors * SECTOR_BYTES, tailBlock + kFileBlock);
    // Both looked at before either is written: they may be one block.
    const bool head = headBlock < from && isHole(headBlock);
    const bool tail = tailBlock < to && to < tailEnd && isHole(tailBlock);
    const std::vector<uint8_t> fill(size_t(kFileBlock), m_fill);
    if (head && ::pwrite(m_fd, fill.data(), size_t(from - headBlock), off_t(headBlock)) != ssize_t(from - headBlock)) {
        return false;
    }
    return !tail || ::pwrite(m_fd, fill.data(), size_t(tailEnd - to), off_t(to)) == ssize_t(tailEnd - to);
}

bool LogicalDisk::read(int64_t first, int64_t count, uint8_t* out) {
    if (!inRange(first, count)) {
        return false;
    }
    const size_t n = size_t(count) * SECTOR_BYTES;
    const int64_t at = first * SECTOR_BYTES;
    if (::pread(m_fd, out, n, off_t(at)) != ssize_t(n)) {
        return false;
    }
    if (m_fill != 0) {
        fillHoles(at, at + int64_t(n), out);
    }
    return true;
}

bool LogicalDisk::write(int64_t first, int64_t count, const uint8_t* data) {
    if (!inRange(first, count) || !keepsSize(m_fd, m_sectors * SECTOR_BYTES, m_path)) {
        return false;
    }
    const size_t n = size_t(count) * SECTOR_BYTES;
    const int64_t at = first * SECTOR_BYTES;
    if (m_fill != 0 && !fillAround(at, at + int64_t(n))) {
        return false;
    }
    return ::pwrite(m_fd, data, n, off_t(at)) == ssize_t(n);
}

}  // namespace Tessor::taval
