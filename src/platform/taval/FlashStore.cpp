#include "platform/taval/FlashStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/taval/FileTransfer.h"
#include "platform/taval/Geometry.h"
#include "platform/taval/SizedFile.h"
#include "platform/orrin/PlatformLog.h"

namespace Tessor::taval {

namespace {

void complement(const uint8_t* in, uint8_t* out, size_t n) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, in + i, 8);
        w = ~w;
        std::memcpy(out + i, &w, 8);
    }
    for (; i < n; ++i) {
        out[i] = uint8_t(~in[i]);
    }
}

}  // namespace

FlashStore::~FlashStore() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool FlashStore::open(const std::string& path, int64_t sectors, bool writable, std::string* error) {
    m_fd = openSizedFile(path, sectors * RECORD_BYTES, writable, error);
    m_sectors = sectors;
    m_path = path;
    return m_fd >= 0;
}

bool FlashStore::hold() { return ::flock(m_fd, LOCK_EX | LOCK_NB) == 0; }

void FlashStore::letGo() { ::flock(m_fd, LOCK_UN); }

bool FlashStore::held() const {
    if (::flock(m_fd, LOCK_SH | LOCK_NB) != 0) {
        return true;
    }
    ::flock(m_fd, LOCK_UN);
    return false;
}

bool FlashStore::read(int64_t first, int64_t count, uint8_t* records) {
    const size_t n = size_t(count) * RECORD_BYTES;
    if (readAt(m_fd, records, n, off_t(first * RECORD_BYTES)) != n) {
        PLATFORM_LOG(3, "flash store read of %lld records at %lld failed: %s", (long long)count, (long long)first,
              std::strerror(errno));
        return false;
    }
    complement(records, records, n);
    return true;
}

bool FlashStore::write(int64_t first, int64_t count, const uint8_t* records) {
    if (!keepsSize(m_fd, m_sectors * RECORD_BYTES, m_path)) {
        return false;
    }
    const size_t n = size_t(count) * RECORD_BYTES;
    m_scratch.resize(n);
    complement(records, m_scratch.data(), n);
    if (writeAt(m_fd, m_scratch.data(), n, off_t(first * RECORD_BYTES)) != n) {
        PLATFORM_LOG(3, "flash store write of %lld records at %lld failed: %s", (long long)count, (long long)first,
              std::strerror(errno));
        return false;
    }
    return true;
}

bool FlashStore::erase(int64_t first, int64_t count) {
    if (!keepsSize(m_fd, m_sectors * RECORD_BYTES, m_path)) {
        return false;
    }
    if (::fallocate(m_fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, off_t(first * RECORD_BYTES),
                    off_t(count * RECORD_BYTES)) == 0) {
        return true;
    }
    // File systems without hole punching: write zeros (erased) instead.
    m_scratch.assign(size_t(count) * RECORD_BYTES, 0);
    return writeAt(m_fd, m_scratch.data(), m_scratch.size(), off_t(first * RECORD_BYTES)) == m_scratch.size();
}

bool FlashStore::isErased(int64_t first, int64_t count) const {
    const off_t at = ::lseek(m_fd, off_t(first * RECORD_BYTES), SEEK_DATA);
    return at < 0 ? errno == ENXIO : int64_t(at) >= (first + count) * RECORD_BYTES;
}

int64_t FlashStore::nextWritten(int64_t from) const {
    const off_t at = ::lseek(m_fd, off_t(from * RECORD_BYTES), SEEK_DATA);
    if (at < 0) {
        return -1;
    }
    const int64_t record = int64_t(at) / RECORD_BYTES;
    return record < m_sectors ? record : -1;
}

}  // namespace Tessor::taval
