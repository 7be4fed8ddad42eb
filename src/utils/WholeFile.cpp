#include "utils/WholeFile.h"

#include <QSaveFile>

#include "platform/orrin/PlatformLog.h"
#include "utils/HostPath.h"

namespace Tessor::utils {

bool WholeFile::write(const std::string& path, const QByteArray& bytes)
{
    QSaveFile file(QString::fromStdString(HostPath::toHost(path)));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        PLATFORM_LOG(3, "writing %s failed : %s\n", path.c_str(), file.errorString().toLocal8Bit().constData());
        return false;
    }
    return true;
}

}  // namespace Tessor::utils
