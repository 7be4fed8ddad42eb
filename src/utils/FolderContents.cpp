#include "utils/FolderContents.h"

#include <filesystem>
#include <system_error>

#include "platform/orrin/PlatformLog.h"
#include "platform/orrin/HostPath.h"

namespace Tessor::utils {

namespace fs = std::filesystem;

namespace {

void emptyFolder(const fs::path& folder)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path entry = it->path();
        std::error_code kind;
        if (it->is_directory(kind) && !it->is_symlink(kind)) {
            emptyFolder(entry);
        }
        std::error_code removed;
        if (!fs::remove(entry, removed) || removed) {
            PLATFORM_LOG(4, "cannot delete %s : %s\n", entry.c_str(), removed.message().c_str());
        }
    }
}

}  // namespace

int deleteFolderContents(const std::string& folder)
{
    emptyFolder(fs::path(HostPath::toHost(folder)));
    return 1;
}

}  // namespace Tessor::utils
