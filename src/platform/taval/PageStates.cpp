#include "platform/taval/PageStates.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/orrin/PlatformLog.h"
#include "platform/taval/FileTransfer.h"
#include "platform/taval/FlashStore.h"
#include "platform/taval/PrintableText.h"
#include "platform/taval/SizedFile.h"

namespace Tessor::taval {

PageStates::~PageStates() {
    if (m_bytes != nullptr) {
        ::munmap(m_bytes, m_length);
    }
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool PageStates::open(const std::string& path, int64_t pages, int sectorsPerPage, const FlashStore& flash,
                      std::string* error) {
    bool fresh = false;
    m_fd = openSizedFile(path, pages, true, error, &fresh);
    if (m_fd < 0) {
        return false;
    }
    m_path = path;
    m_length = size_t(pages);
    // Anonymous memory reads as zeros (erased) until a page of it is written.
    void* map = ::mmap(nullptr, m_length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) {
        *error = printableText(path) + ": " + std::strerror(errno);
        return false;
    }
    m_bytes = static_cast<uint8_t*>(map);
    m_stretchChanged.assign(size_t((pages >> kStretchShift) + 1), false);
    if (!fresh) {
        return load(error);
    }
    for (int64_t s = flash.nextWritten(0); s >= 0; s = flash.nextWritten((s / sectorsPerPage + 1) * sectorsPerPage)) {
        m_bytes[s / sectorsPerPage] = uint8_t(PageState::Data) | 1 << kCountShift | kParityBit;
        changed(s / sectorsPerPage, 1);
    }
    if (!save()) {
        *error = printableText(path) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool PageStates::load(std::string* error) {
    // Only the written stretches of the sparse file are read.
    for (off_t at = 0; at < off_t(m_length);) {
        const off_t data = ::lseek(m_fd, at, SEEK_DATA);
        if (data < 0 || data >= off_t(m_length)) {
            break;
        }
        const off_t hole = std::min(::lseek(m_fd, data, SEEK_HOLE), off_t(m_length));
        const off_t end = hole <= data ? off_t(m_length) : hole;
        errno = 0;
        if (readAt(m_fd, m_bytes + data, size_t(end - data), data) != size_t(end - data)) {
            *error = printableText(m_path) + ": " + (errno != 0 ? std::strerror(errno) : "cut short while read");
            return false;
        }
        at = end;
    }
    return true;
}

void PageStates::changed(int64_t firstPage, int64_t count) {
    for (int64_t s = firstPage >> kStretchShift; s <= (firstPage + count - 1) >> kStretchShift; ++s) {
        if (!m_stretchChanged[size_t(s)]) {
            m_stretchChanged[size_t(s)] = true;
            m_changedStretches.push_back(s);
        }
    }
}

bool PageStates::save() {
    if (m_changedStretches.empty()) {
        return true;
    }
    if (!keepsSize(m_fd, int64_t(m_length), m_path)) {
        return false;
    }
    std::sort(m_changedStretches.begin(), m_changedStretches.end());
    for (size_t i = 0; i < m_changedStretches.size();) {
        size_t j = i + 1;
        while (j < m_changedStretches.size() && m_changedStretches[j] == m_changedStretches[j - 1] + 1) {
            ++j;
        }
        const size_t from = size_t(m_changedStretches[i]) << kStretchShift;
        const size_t to = std::min(m_length, size_t(m_changedStretches[j - 1] + 1) << kStretchShift);
        if (writeAt(m_fd, m_bytes + from, to - from, off_t(from)) != to - from) {
            PLATFORM_LOG(3, "%s: the page states are not saved: %s", printableText(m_path).c_str(), std::strerror(errno));
            return false;
        }
        i = j;
    }
    for (const int64_t s : m_changedStretches) {
        m_stretchChanged[size_t(s)] = false;
    }
    m_changedStretches.clear();
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
    changed(page, 1);
}

void PageStates::erase(int64_t firstPage, int64_t count) {
    for (int64_t p = firstPage; p < firstPage + count; ++p) {
        m_bytes[p] &= kParityBit;
    }
    changed(firstPage, count);
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
