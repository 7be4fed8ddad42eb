#include "platform/taval/PortsFolder.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

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

PortsFolder::PortsFolder(Hub& hub, std::string folder)
    : m_hub(hub), m_folder(std::move(folder)), m_plugged(size_t(hub.portCount())), m_refused(size_t(hub.portCount())) {
    std::ofstream count(m_folder + "/" + kPortCountFile, std::ios::trunc);
    if (!(count << m_hub.portCount() << '\n')) {
        PLATFORM_LOG(3, "ports folder %s: the port count cannot be written", printableText(m_folder).c_str());
    }
}

PortsFolder::~PortsFolder() {
    std::error_code ec;
    std::filesystem::remove(m_folder + "/" + kPortCountFile, ec);
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
            // The operator watches the console, not the log.
            const std::string told = printableText(entry.string()) + " not plugged: " + error;
            PLATFORM_LOG(3, "%s", told.c_str());
            std::fprintf(stderr, "%s\n", told.c_str());
            refused = plug;
        }
    }
}

}  // namespace Tessor::taval
