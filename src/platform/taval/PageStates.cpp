#include "platform/taval/PageStates.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/taval/FlashStore.h"
#include "platform/taval/SizedFile.h"

namespace Tessor::taval {

PageStates::~PageStates() {
    if (m_bytes != nullptr) {
        ::munmap(m_bytes, m_length);
    }
}

bool PageStates::open(const std::string& path, int64_t pages, int sectorsPerPage, const FlashStore& flash,
                      std::string* error) {
    bool fresh = false;
    const int fd = openSizedFile(path, pages, true, error, &fresh);
    if (fd < 0) {
        return false;
    }
    m_length = size_t(pages);
    void* map = ::mmap(nullptr, m_length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    m_bytes = static_cast<uint8_t*>(map);
    if (fresh) {
        for (int64_t s = flash.nextWritten(0); s >= 0; s = flash.nextWritten((s / sectorsPerPage + 1) * sectorsPerPage)) {
            m_bytes[s / sectorsPerPage] = uint8_t(PageState::Data) | 1 << kCountShift | kParityBit;
        }
    }
    return true;
}

void PageStates::program(int64_t page, PageState to, bool scanWrite) {
    uint8_t b = m_bytes[page];
    const int count = (b >> kCountShift) & kCountMax;
    if ((b & kStateMask) == uint8_t(PageState::Erased) || to == PageState::Data) {
        b = uint8_t((b & ~kStateMask) | uint8_t(to));
    }
    if (count < kCountMax) {
        b = uint8_t((b & ~(kCountMax << kCountShift)) | (count + 1) << kCountShift);
    }
    b ^= kParityBit;
    if (scanWrite) {
        b |= kScanBit;
    }
    m_bytes[page] = b;
}

void PageStates::erase(int64_t firstPage, int64_t count) {
    for (int64_t p = firstPage; p < firstPage + count; ++p) {
        m_bytes[p] &= kParityBit;
    }
}

bool PageStates::anyData(int64_t firstPage, int64_t count) const {
    for (int64_t p = firstPage; p < firstPage + count; ++p) {
        if ((m_bytes[p] & kStateMask) == uint8_t(PageState::Data)) {
            return true;
        }
    }
    return false;
}

}  // namespace Tessor::taval
