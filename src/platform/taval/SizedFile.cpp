#include "platform/taval/SizedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/orrin/PlatformLog.h"
#include "platform/taval/PrintableText.h"

namespace Tessor::taval {

int openSizedFile(const std::string& path, int64_t bytes, bool writable, std::string* error, bool* created) {
    const std::string shown = printableText(path);
    if (created != nullptr) {
        *created = false;
    }
    int fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && writable) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 && ::ftruncate(fd, off_t(bytes)) != 0) {
            *error = shown + ": " + std::strerror(errno);
            ::close(fd);
            ::unlink(path.c_str());
            return -1;
        }
        if (fd >= 0 && created != nullptr) {
            *created = true;
        }
        if (fd >= 0) {
            return fd;
        }
    }
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        *error = shown + ": " + std::strerror(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    if (int64_t(st.st_size) != bytes) {
        *error = shown + ": holds " + std::to_string(st.st_size) + " bytes, but the description gives " +
                 std::to_string(bytes) + " bytes; the device is left as it is";
        ::close(fd);
        return -1;
    }
    return fd;
}

bool keepsSize(int fd, int64_t bytes, const std::string& path) {
    // The end of the file, told more cheaply than by fstat.
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (size < 0) {
        PLATFORM_LOG(3, "%s: %s", printableText(path).c_str(), std::strerror(errno));
        return false;
    }
    if (int64_t(size) != bytes) {
        PLATFORM_LOG(3, "%s holds %lld bytes, not its %lld: nothing more is written to it", printableText(path).c_str(),
                     (long long)size, (long long)bytes);
        errno = EIO;
        return false;
    }
    return true;
}

}  // namespace Tessor::taval
