// The logical disk a simulated device shows the host: a flat sparse file of
// 512-byte sectors; unwritten sectors read as zeros.
#pragma once

#include <cstdint>
#include <string>

namespace Tessor::taval {

class LogicalDisk {
public:
    LogicalDisk() = default;
    LogicalDisk(const LogicalDisk&) = delete;
    LogicalDisk& operator=(const LogicalDisk&) = delete;
    ~LogicalDisk();

    // Opens the disk of `sectors` sectors; see openSizedFile.
    bool open(const std::string& path, int64_t sectors, bool writable, std::string* error);
    // Fail for sectors beyond the capacity.
    bool read(int64_t first, int64_t count, uint8_t* out);
    bool write(int64_t first, int64_t count, const uint8_t* data);
    int64_t sectors() const { return m_sectors; }

private:
    bool inRange(int64_t first, int64_t count) const;

    int m_fd = -1;
    int64_t m_sectors = 0;
};

}  // namespace Tessor::taval
