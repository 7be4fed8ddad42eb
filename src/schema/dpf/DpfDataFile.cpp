#include "schema/dpf/DpfDataFile.h"

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "platform/taval/Taval.h"
#include "schema/base/Log.h"
#include "platform/orrin/HostPath.h"

namespace Tessor::schema {

DpfDataFile::DpfDataFile(const std::string& name, const std::string& path, int declaredSectors)
    : BaseData(name), m_sectors(declaredSectors), m_path(path)
{
}

int DpfDataFile::sectorsOf(int bytes)
{
    const int sectors = ceilDivide(bytes, SECTOR_BYTES);
    return sectors + sectors % 2;
}

int DpfDataFile::init()
{
    m_buffer.clear();
    const std::string host = HostPath::toHost(m_path);
    m_size = usbGetFileSize(host.c_str());
    m_sectors = sectorsOf(m_size);
    if (m_size <= 0) {
        CPLOG(3, "Size of Imagae 'file' %s is not in the unit of sector : %d", m_path.c_str(), m_size);
        return -1;
    }
    m_buffer.assign(static_cast<size_t>(m_sectors) * SECTOR_BYTES, 0);
    const int n = usbReadFile(host.c_str(), m_buffer.data(), m_size, 0);
    if (n < m_size) {
        CPLOG(3, "file size of %d bytes, but read out %d bytes", m_size, n);
        m_buffer.clear();
        return 0;
    }
    return n;
}

const unsigned char* DpfDataFile::getDataBuffer() const
{
    CPLOG(7, "file size of %d bytes", m_size);
    return m_buffer.empty() ? nullptr : m_buffer.data();
}

}  // namespace Tessor::schema
