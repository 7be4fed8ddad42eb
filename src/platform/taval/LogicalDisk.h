// The logical disk a simulated device shows the host: a flat sparse file of
// 512-byte sectors. Sectors never written read as the disk's fill byte.
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
    [[nodiscard]] bool open(const std::string& path, int64_t sectors, bool writable, uint8_t fill, std::string* error);
    // Fail for sectors beyond the capacity; writes also once the file lost
    // its size (see keepsSize).
    [[nodiscard]] bool read(int64_t first, int64_t count, uint8_t* out);
    [[nodiscard]] bool write(int64_t first, int64_t count, const uint8_t* data);
    // The first sector from `first` on that was ever written (or shares a
    // file block with one); sectors() when there is none.
    int64_t nextWritten(int64_t first) const;
    // The end of the last sector of [first, first + count) that was ever
    // written (or shares a file block with one); `first` when there is none.
    int64_t writtenEnd(int64_t first, int64_t count) const;
    int64_t sectors() const { return m_sectors; }
    uint8_t fill() const { return m_fill; }
    const std::string& path() const { return m_path; }

private:
    bool inRange(int64_t first, int64_t count) const;
    // Bytes [from, to) that lie in holes of the file get the fill byte.
    void fillHoles(int64_t from, int64_t to, uint8_t* out) const;
    // The unwritten rest of the file blocks a write only partly covers gets
    // the fill byte first, so it still reads as unwritten afterwards.
    [[nodiscard]] bool fillAround(int64_t from, int64_t to);
    bool isHole(int64_t offset) const;

    int m_fd = -1;
    int64_t m_sectors = 0;
    uint8_t m_fill = 0;
    std::string m_path;
};

}  // namespace Tessor::taval
