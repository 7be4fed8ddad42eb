// The flash array of a simulated device in a sparse file: one record of 512
// data and 16 spare bytes per sector, stored complemented so that a hole in
// the file reads as erased (all bytes 0xFF) and erasing punches holes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Tessor::taval {

class FlashStore {
public:
    FlashStore() = default;
    FlashStore(const FlashStore&) = delete;
    FlashStore& operator=(const FlashStore&) = delete;
    ~FlashStore();

    // Opens the array of `sectors` records; see openSizedFile.
    [[nodiscard]] bool open(const std::string& path, int64_t sectors, bool writable, std::string* error);
    // A station holds the array while the device is plugged in: false when
    // another one holds it already.
    [[nodiscard]] bool hold();
    void letGo();
    // True while some station holds the array.
    bool held() const;

    // Records [first, first + count) in their true (uncomplemented) form;
    // writes and erases fail once the file lost its size (see keepsSize).
    [[nodiscard]] bool read(int64_t first, int64_t count, uint8_t* records);
    [[nodiscard]] bool write(int64_t first, int64_t count, const uint8_t* records);
    [[nodiscard]] bool erase(int64_t first, int64_t count);

    // True when no record of the range was programmed since its erase.
    bool isErased(int64_t first, int64_t count) const;
    // First record at or after `from` that may hold data; -1 when none.
    int64_t nextWritten(int64_t from) const;
    int64_t sectors() const { return m_sectors; }

private:
    int m_fd = -1;
    int64_t m_sectors = 0;
    std::string m_path;
    std::vector<uint8_t> m_scratch;
};

}  // namespace Tessor::taval
