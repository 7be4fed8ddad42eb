// Files the pages generate are written whole: the bytes go to a temporary
// file beside the target, which replaces the target only once every byte is
// on disk. A failed write leaves the previous file as it was.
#pragma once

#include <QByteArray>
#include <string>

namespace Tessor::utils {

class WholeFile {
public:
    // `path` in the system's form (see HostPath); false when anything fails.
    [[nodiscard]] static bool write(const std::string& path, const QByteArray& bytes);
};

}  // namespace Tessor::utils
