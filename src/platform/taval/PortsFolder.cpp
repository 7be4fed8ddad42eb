#include "platform/taval/PortsFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/taval/FileTransfer.h"
#include "platform/taval/Hub.h"
#include "platform/taval/PrintableText.h"
#include "platform/orrin/PlatformLog.h"

namespace Tessor::taval {

namespace {

// One plug of an entry: the folder it leads to and the entry itself, which
// an unplug and a new plug make anew even between two polls.
std::string entryPlug(const std::string& entry, const std::string& target) {
    struct stat st {};
    if (::lstat(entry.c_str(), &st) != 0) {
        return {};
    }
    return target + '\n' + std::to_string(st.st_ino) + ':' + std::to_string(st.st_ctim.tv_sec) + '.' +
           std::to_string(st.st_ctim.tv_nsec);
}

}  // namespace

std::unique_ptr<PortsFolder> PortsFolder::watch(Hub& hub, const std::string& folder) {
    const std::string path = folder + "/" + kPortCountFile;
    // A few tries: the tool holding the file may remove it between our open and our lock.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            break;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            ::close(fd);
            tell("ports folder " + printableText(folder) +
                 " is watched by another running station; give each station a ports folder of its own");
            return nullptr;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
            held.st_dev == named.st_dev) {
            return std::unique_ptr<PortsFolder>(new PortsFolder(hub, folder, fd));
        }
        ::close(fd);
    }
    return std::unique_ptr<PortsFolder>(new PortsFolder(hub, folder, -1));
}

PortsFolder::PortsFolder(Hub& hub, std::string folder, int countFile)
    : m_hub(hub),
      m_folder(std::move(folder)),
      m_countFile(countFile),
      m_plugged(size_t(hub.portCount())),
      m_refused(size_t(hub.portCount())) {
    const std::string count = std::to_string(m_hub.portCount()) + '\n';
    if (m_countFile < 0 || ::ftruncate(m_countFile, 0) != 0 ||
        writeAt(m_countFile, count.data(), count.size(), 0) != count.size()) {
        PLATFORM_LOG(3, "ports folder %s: the port count cannot be written", printableText(m_folder).c_str());
    }
}

PortsFolder::~PortsFolder() {
    // Only the file this tool holds is its own to remove.
    if (m_countFile >= 0) {
        ::unlink((m_folder + "/" + kPortCountFile).c_str());
        ::close(m_countFile);
    }
}

void PortsFolder::tell(const std::string& text) {
    PLATFORM_LOG(3, "%s", text.c_str());
    std::fprintf(stderr, "%s\n", text.c_str());
}

void PortsFolder::poll() {
    namespace fs = std::filesystem;
    for (int i = 0; i < m_hub.portCount(); ++i) {
        std::error_code ec;
        const fs::path entry = fs::path(m_folder) / entryName(i);
        const fs::path target = fs::canonical(entry, ec);
        const std::string wanted = ec ? std::string() : target.string();
        std::string& plugged = m_plugged[size_t(i)];
        if (wanted == plugged) {
            continue;
        }
        if (!plugged.empty()) {
            (void)m_hub.unplug(i);  // a device its rules pulled out has left the port already
            plugged.clear();
        }
        if (wanted.empty()) {
            continue;
        }
        std::string& refused = m_refused[size_t(i)];
        const std::string plug = entryPlug(entry.string(), wanted);
        if (plug == refused) {
            continue;
        }
        std::string error;
        if (m_hub.plug(i, wanted, &error) == 0) {
            plugged = wanted;
            refused.clear();
        } else {
            tell(printableText(entry.string()) + " not plugged: " + error);
            refused = plug;
        }
    }
}

}  // namespace Tessor::taval
