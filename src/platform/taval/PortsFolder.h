// Plugging by operators: a folder with entries "port<N>", each a symbolic
// link to (or a copy of) a device folder. An entry that appears plugs the
// device into port N, one that disappears pulls it. The folder is named by
// the environment variable TAVAL_PORTS of the running tool. While the tool
// runs, the file "port-count" in the folder tells how many ports it has; the
// tool holds it locked, and a second tool on the folder is refused: the two
// would take each other's devices.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace Tessor::taval {

class Hub;

class PortsFolder {
public:
    // Watches `folder` for the hub; null, told on standard error, when
    // another running tool watches it.
    static std::unique_ptr<PortsFolder> watch(Hub& hub, const std::string& folder);
    ~PortsFolder();
    PortsFolder(const PortsFolder&) = delete;
    PortsFolder& operator=(const PortsFolder&) = delete;
    // Brings the hub in line with the folder.
    void poll();

    static constexpr const char* kEnvironment = "TAVAL_PORTS";
    static std::string entryName(int port) { return "port" + std::to_string(port); }
    static constexpr const char* kPortCountFile = "port-count";

private:
    // `countFile` is the port-count file held for this tool, -1 when it
    // cannot be made.
    PortsFolder(Hub& hub, std::string folder, int countFile);
    // The operator watches the console, not the log.
    static void tell(const std::string& text);

    Hub& m_hub;
    std::string m_folder;
    int m_countFile;
    std::vector<std::string> m_plugged;  // device folder per port plugged from here
    // Per port the entry last refused, as entryPlug tells it: the same plug
    // is not tried again, a new one is.
    std::vector<std::string> m_refused;
};

}  // namespace Tessor::taval
