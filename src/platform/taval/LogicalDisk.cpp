#include "platform/taval/LogicalDisk.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/taval/Geometry.h"
#include "platform/taval/SizedFile.h"
#include "schema/base/Log.h"

namespace Tessor::taval {

LogicalDisk::~LogicalDisk() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool LogicalDisk::open(const std::string& path, int64_t sectors, bool writable, std::string* error) {
    m_fd = openSizedFile(path, sectors * SECTOR_BYTES, writable, error);
    m_sectors = sectors;
    return m_fd >= 0;
}

bool LogicalDisk::inRange(int64_t first, int64_t count) const {
    if (first < 0 || count <= 0 || first + count > m_sectors) {
        CPLOG(3, "logical sectors %lld+%lld outside the disk of %lld sectors", (long long)first, (long long)count,
              (long long)m_sectors);
        return false;
    }
    return true;
}

bool LogicalDisk::read(int64_t first, int64_t count, uint8_t* out) {
    if (!inRange(first, count)) {
        return false;
    }
    const size_t n = size_t(count) * SECTOR_BYTES;
    return ::pread(m_fd, out, n, off_t(first * SECTOR_BYTES)) == ssize_t(n);
}

bool LogicalDisk::write(int64_t first, int64_t count, const uint8_t* data) {
    if (!inRange(first, count)) {
        return false;
    }
    const size_t n = size_t(count) * SECTOR_BYTES;
    return ::pwrite(m_fd, data, n, off_t(first * SECTOR_BYTES)) == ssize_t(n);
}

}  // namespace Tessor::taval
