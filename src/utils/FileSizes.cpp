#include "utils/FileSizes.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/HostPath.h"

namespace Tessor::utils {

namespace fs = std::filesystem;

uint64_t getFolderSize(const std::string& folder)
{
    uint64_t total = 0;
    std::error_code ec;
    fs::recursive_directory_iterator it(HostPath::toHost(folder), fs::directory_options::skip_permission_denied, ec);
    for (fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::error_code sizeError;
        if (it->is_regular_file(sizeError)) {
            const uintmax_t size = it->file_size(sizeError);
            total += sizeError ? 0 : size;
        }
    }
    return total;
}

int64_t getFileSectorCount(const std::string& path, uint32_t limitMb)
{
    constexpr uint64_t kMb = 1024 * 1024;
    constexpr int64_t kSectorsPerMb = 2048;
    const std::string host = HostPath::toHost(path);
    std::error_code ec;
    if (!fs::is_regular_file(host, ec) || !std::ifstream(host, std::ios::binary).is_open()) {
        return 0;
    }
    const uintmax_t size = fs::file_size(host, ec);
    if (ec) {
        return 0;
    }
    const uint64_t mb = ceilDivide(size, kMb);
    if (limitMb != 0 && mb > limitMb) {
        return -1;
    }
    const uint64_t margin = mb < 100 ? 6 : mb < 200 ? 15 : 30;
    const uint64_t sectors = (mb + margin) * kSectorsPerMb;
    if (sectors > std::numeric_limits<uint32_t>::max()) {
        return -1;
    }
    return static_cast<int64_t>(sectors);
}

}  // namespace Tessor::utils
