// Plugging by operators: a folder with entries "port<N>", each a symbolic
// link to (or a copy of) a device folder. An entry that appears plugs the
// device into port N, one that disappears pulls it. The folder is named by
// the environment variable TAVAL_PORTS of the running tool. While the tool
// runs, the file "port-count" in the folder tells how many ports it has.
#pragma once

#include <string>
#include <vector>

namespace Tessor::taval {

class Hub;

class PortsFolder {
public:
    PortsFolder(Hub& hub, std::string folder);
    ~PortsFolder();
    PortsFolder(const PortsFolder&) = delete;
    PortsFolder& operator=(const PortsFolder&) = delete;
    // Brings the hub in line with the folder.
    void poll();

    static constexpr const char* kEnvironment = "TAVAL_PORTS";
    static std::string entryName(int port) { return "port" + std::to_string(port); }
    static constexpr const char* kPortCountFile = "port-count";

private:
    Hub& m_hub;
    std::string m_folder;
    std::vector<std::string> m_plugged;  // device folder per port plugged from here
    // Per port the entry last refused, as entryPlug tells it: the same plug
    // is not tried again, a new one is.
    std::vector<std::string> m_refused;
};

}  // namespace Tessor::taval
