#include "platform/ini/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace Tessor::IO {

int openRegularFile(const std::string& path, std::string& reason, bool* missing)
{
    if (missing) {
        *missing = false;
    }
    // Non-blocking, so a FIFO without a writer cannot hold the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (missing) {
            *missing = errno == ENOENT;
        }
        reason = std::strerror(errno);
        return -1;
    }
    struct stat st = {};
    if (fstat(fd, &st) != 0) {
        reason = std::strerror(errno);
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = S_ISDIR(st.st_mode) ? "is a folder, not a file" : "is not a regular file";
        ::close(fd);
        return -1;
    }
    // Reads of a regular file block as usual.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace Tessor::IO
