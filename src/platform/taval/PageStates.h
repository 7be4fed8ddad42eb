// State of every flash page of a simulated device, one byte a page in a
// file beside the flash array: erased, data or the controller's scan
// pattern, the programs since the last erase and the parity of all programs
// the page ever took. Pattern passes change only these bytes, never the
// flash array, so a scan of a large device costs no data I/O.
// The bytes are worked on in memory and the changed stretches written back
// by save(): a file cut short or a full disk under it then fails the
// operation, where a mapping of the file would fault the whole process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Tessor::taval {

class FlashStore;

enum class PageState : uint8_t { Erased = 0, Data = 1, Pattern = 2 };

class PageStates {
public:
    PageStates() = default;
    PageStates(const PageStates&) = delete;
    PageStates& operator=(const PageStates&) = delete;
    ~PageStates();

    // Reads the file (see openSizedFile); a new file takes its data pages
    // from the flash array.
    [[nodiscard]] bool open(const std::string& path, int64_t pages, int sectorsPerPage, const FlashStore& flash,
              std::string* error);

    PageState state(int64_t page) const { return PageState(m_bytes[page] & kStateMask); }
    int programs(int64_t page) const { return (m_bytes[page] >> kCountShift) & kCountMax; }
    // True after the 1st, 3rd, 5th ... program in the page's life.
    bool oddLifetimeProgram(int64_t page) const { return (m_bytes[page] & kParityBit) != 0; }
    // Written by the scan firmware's host-data command since the erase.
    bool scanWritten(int64_t page) const { return (m_bytes[page] & kScanBit) != 0; }
    bool programmedSinceErase(int64_t page) const { return state(page) != PageState::Erased; }

    // One program of the page: an erased page takes `to`, a programmed page
    // keeps its state (pattern over data is no pattern; data over pattern
    // is data).
    void program(int64_t page, PageState to, bool scanWrite = false);
    void erase(int64_t firstPage, int64_t count);
    // True when some page of the range holds data.
    bool anyData(int64_t firstPage, int64_t count) const;
    // Writes the pages changed since the last save to the file; false,
    // logged, when the file no longer has its size or does not take them.
    [[nodiscard]] bool save();

private:
    // Changes are written back in stretches of 1 << kStretchShift pages, a
    // file-system block.
    static constexpr int kStretchShift = 12;
    void changed(int64_t firstPage, int64_t count);
    [[nodiscard]] bool load(std::string* error);

    static constexpr uint8_t kStateMask = 0x03;
    static constexpr int kCountShift = 2;
    static constexpr uint8_t kCountMax = 0x0F;
    static constexpr uint8_t kParityBit = 0x40;
    static constexpr uint8_t kScanBit = 0x80;

    uint8_t* m_bytes = nullptr;  // untouched pages of it take no memory
    size_t m_length = 0;
    int m_fd = -1;
    std::string m_path;
    std::vector<bool> m_stretchChanged;
    std::vector<int64_t> m_changedStretches;
};

}  // namespace Tessor::taval
