// Paths as the system writes them (GBK text, "\" between the parts, any
// letter case) turned into paths of the host's file system: UTF-8, "/"
// between the parts, and each part matched to the spelling on the disk
// without regard to letter case.
#pragma once

#include <string>
#include <vector>

namespace Tessor {

class HostPath {
public:
    struct Entry {
        std::string name;  // in the system's code page
        bool folder;
    };

    // Parts that do not exist keep their own spelling.
    static std::string toHost(const std::string& path);
    // The path still in the system's text, only with "/" between its parts
    // (a double-byte character ending in the byte of "\" stays whole).
    static std::string withSlashes(const std::string& path);
    // The entries directly in a folder, sorted by name; false when the
    // folder cannot be listed.
    [[nodiscard]] static bool list(const std::string& folder, std::vector<Entry>* entries);
};

}  // namespace Tessor
