// Host-file helpers of the device library.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/ini/RegularFile.h"
#include "platform/taval/FileTransfer.h"
#include "platform/taval/Hub.h"
#include "platform/taval/VirtualDevice.h"
#include "platform/taval/Taval.h"
#include "platform/orrin/PlatformLog.h"

namespace {

constexpr int kNameBytes = 11;
constexpr unsigned char kVolumeLabel = 0x08;
// A first name byte of 0xE5 marks a deleted entry; FAT keeps a name that
// starts with that byte (a GBK lead byte) as 0x05.
constexpr unsigned char kDeleted = 0xE5;
constexpr unsigned char kStandsForDeleted = 0x05;

// Why the thread's last copy cannot be made by any attempt.
thread_local std::string t_copyRefusal;

}  // namespace

int usbGetFileSize(const char* path) {
    struct stat st;
    if (path == nullptr || ::stat(path, &st) != 0 || !S_ISREG(st.st_mode)) {
        return -1;
    }
    return st.st_size > 0x7FFFFFFF ? 0x7FFFFFFF : int(st.st_size);
}

int usbReadFile(const char* path, void* buf, int len, int off) {
    if (path == nullptr || buf == nullptr || len < 0 || off < 0) {
        return 0;
    }
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        PLATFORM_LOG(3, "cannot open %s: %s", path, std::strerror(errno));
        return 0;
    }
    const int total = int(Tessor::taval::readAt(fd, buf, size_t(len), off_t(off)));
    ::close(fd);
    return total;
}

int usbWriteFile(const char* path, const void* buf, int len, int off) {
    if (path == nullptr || buf == nullptr || len < 0 || off < 0) {
        return 0;
    }
    if (off == 0) {
        // The whole file is made beside the old one and put in its place,
        // so a full disk leaves the previous file. What the tool saves are
        // images of devices and tables: for the operator's eyes only, even
        // when an earlier run left the file more open.
        struct stat own = {};
        own.st_mode = 0600;
        own.st_uid = ::geteuid();
        own.st_gid = ::getegid();
        std::string reason;
        if (!Tessor::IO::replaceFile(path, buf, size_t(len), &own, reason)) {
            PLATFORM_LOG(3, "cannot write %s: %s", path, reason.c_str());
            return 0;
        }
        return len;
    }
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        PLATFORM_LOG(3, "cannot write %s: %s", path, std::strerror(errno));
        return 0;
    }
    const int total = int(Tessor::taval::writeAt(fd, buf, size_t(len), off_t(off)));
    ::close(fd);
    return total;
}

int createRootDir(unsigned char* sector512, const char* label) {
    if (sector512 == nullptr) {
        return 0;
    }
    std::memset(sector512, 0, 512);
    if (label == nullptr || *label == '\0') {
        return 1;
    }
    // The same 11 bytes as the boot sector's label, or readers see two labels.
    std::memset(sector512, ' ', kNameBytes);
    for (int i = 0; i < kNameBytes && label[i] != '\0'; ++i) {
        sector512[i] = static_cast<unsigned char>(label[i]);
    }
    if (sector512[0] == kDeleted) {
        sector512[0] = kStandsForDeleted;
    }
    sector512[kNameBytes] = kVolumeLabel;
    return 1;
}

int copyDirectory2Flash(const char* source, const char* target, int /*recursive*/) {
    t_copyRefusal.clear();
    if (source == nullptr || target == nullptr) {
        return 0;
    }
    std::string drive(target);
    if (!drive.empty() && drive.back() == ':') {
        drive.pop_back();
    }
    std::shared_ptr<Tessor::taval::VirtualDevice> device = Tessor::taval::Hub::findDrive(drive);
    if (!device) {
        PLATFORM_LOG(3, "no device has the drive %s", target);
        return 0;
    }
    if (device->copyIn(source, &t_copyRefusal)) {
        return 1;
    }
    PLATFORM_LOG(3, "copy of %s onto %s failed%s%s", source, target, t_copyRefusal.empty() ? "" : " for good: ",
                 t_copyRefusal.c_str());
    return 0;
}

const char* getCopyRefusal() {
    return t_copyRefusal.c_str();
}
