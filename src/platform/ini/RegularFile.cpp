#include "platform/ini/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

FILE* createWritableFile(const std::string& path, std::string& reason)
{
    // Read and write, so a FIFO opens at once and is refused below.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        reason = std::strerror(errno);
        return nullptr;
    }
    struct stat st = {};
    if (fstat(fd, &st) != 0) {
        reason = std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    if (!S_ISREG(st.st_mode) && !S_ISCHR(st.st_mode)) {
        reason = "is not a regular file";
        ::close(fd);
        return nullptr;
    }
    if (S_ISREG(st.st_mode) && ftruncate(fd, 0) != 0) {
        reason = std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* stream = fdopen(fd, "w+");
    if (stream == nullptr) {
        reason = std::strerror(errno);
        ::close(fd);
    }
    return stream;
}

bool replaceFile(const std::string& path, const void* data, size_t size, const struct stat* replaced,
                 std::string& reason, bool* notCreated)
{
    std::string name = path + ".XXXXXX";
    const int fd = mkstemp(name.data());
    if (notCreated) {
        *notCreated = fd < 0;
    }
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    const char* bytes = static_cast<const char*>(data);
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, bytes + written, size - written);
        if (n <= 0) {
            reason = n < 0 ? std::strerror(errno) : "nothing written";
            ::close(fd);
            unlink(name.c_str());
            return false;
        }
        written += static_cast<size_t>(n);
    }
    // mkstemp makes the file private: a private file replaced stays private,
    // a new one is shared like any other.
    if (replaced != nullptr) {
        if (fchown(fd, replaced->st_uid, replaced->st_gid) != 0) {
            // Only the owner's own files can be given away; the mode still holds.
        }
        fchmod(fd, replaced->st_mode & 07777);
    } else {
        fchmod(fd, 0644);
    }
    if (::close(fd) != 0 || rename(name.c_str(), path.c_str()) != 0) {
        reason = std::strerror(errno);
        unlink(name.c_str());
        return false;
    }
    return true;
}

bool syncFile(const std::string& path, std::string& reason)
{
    const int fd = openRegularFile(path, reason);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    if (!synced) {
        reason = std::strerror(errno);
    }
    ::close(fd);
    if (!synced) {
        return false;
    }
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0 || ::fsync(dir) != 0) {
        reason = std::strerror(errno);
        if (dir >= 0) {
            ::close(dir);
        }
        return false;
    }
    ::close(dir);
    return true;
}

}  // namespace Tessor::IO
