#include "utils/WholeFile.h"

#include "platform/ini/RegularFile.h"
#include "platform/orrin/HostPath.h"
#include "platform/orrin/PlatformLog.h"

namespace Tessor::utils {

bool WholeFile::write(const std::string& path, const QByteArray& bytes)
{
    std::string reason;
    if (!IO::replaceFile(HostPath::toHost(path), bytes.constData(), size_t(bytes.size()), nullptr, reason)) {
        PLATFORM_LOG(3, "writing %s failed : %s\n", path.c_str(), reason.c_str());
        return false;
    }
    return true;
}

}  // namespace Tessor::utils
