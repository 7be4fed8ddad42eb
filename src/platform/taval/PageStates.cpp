#include "platform/taval/PageStates.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/taval/FlashStore.h"

namespace Tessor::taval {

PageStates::~PageStates() {
    if (m_bytes != nullptr) {
        ::munmap(m_bytes, m_length);
    }
}

bool PageStates::open(const std::string& path, int64_t pages, int sectorsPerPage, const FlashStore& flash,
                      std::string* error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        *error = path + ": " + std::strerror(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    const bool fresh = st.st_size != off_t(pages);
    m_length = size_t(pages);
    // A file of another size belongs to another geometry: start it afresh.
    if (fresh && (::ftruncate(fd, 0) != 0 || ::ftruncate(fd, off_t(pages)) != 0)) {
        *error = path + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
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
