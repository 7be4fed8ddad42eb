#include "platform/taval/FileTransfer.h"

#include <unistd.h>

#include <cerrno>

namespace Tessor::taval {

namespace {

template <typename Byte, typename Transfer>
size_t transferAt(Transfer transfer, int fd, Byte* buf, size_t n, off_t off) {
    size_t done = 0;
    while (done < n) {
        const ssize_t r = transfer(fd, buf + done, n - done, off + off_t(done));
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r <= 0) {
            break;
        }
        done += size_t(r);
    }
    return done;
}

}  // namespace

size_t readAt(int fd, void* buf, size_t n, off_t off) {
    return transferAt(::pread, fd, static_cast<char*>(buf), n, off);
}

size_t writeAt(int fd, const void* buf, size_t n, off_t off) {
    return transferAt(::pwrite, fd, static_cast<const char*>(buf), n, off);
}

}  // namespace Tessor::taval
