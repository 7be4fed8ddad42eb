#include "platform/taval/PortsFolder.h"

#include <filesystem>
#include <system_error>

#include "platform/taval/Hub.h"
#include "schema/base/Log.h"

namespace Tessor::taval {

PortsFolder::PortsFolder(Hub& hub, std::string folder)
    : m_hub(hub), m_folder(std::move(folder)), m_plugged(size_t(hub.portCount())), m_refused(size_t(hub.portCount())) {}

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
            m_hub.unplug(i);
            plugged.clear();
        }
        if (wanted.empty() || wanted == m_refused[size_t(i)]) {
            continue;
        }
        std::string error;
        if (m_hub.plug(i, wanted, &error) == 0) {
            plugged = wanted;
            m_refused[size_t(i)].clear();
        } else {
            CPLOG(3, "%s not plugged: %s", entry.c_str(), error.c_str());
            m_refused[size_t(i)] = wanted;
        }
    }
}

}  // namespace Tessor::taval
