#include "schema/data/BaseCmdData.h"

#include <algorithm>
#include <cstring>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "platform/taval/Taval.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"

namespace Tessor::schema {

BaseCmdData::BaseCmdData(const std::string& name) : BaseData(name), m_fileName(name) {}

BaseCmdData::BaseCmdData(UsbDevice* device, const std::string& name)
    : BaseData(device, name), m_fileName(name)
{
}

BaseCmdData& BaseCmdData::operator=(const BaseCmdData& other)
{
    if (this != &other) {
        BaseData::operator=(other);
        m_fileName = other.m_fileName;
        m_buffer = other.m_buffer;
        m_length = other.m_length;
    }
    return *this;
}

BaseCmdData::~BaseCmdData() = default;

int BaseCmdData::init()
{
    m_length = 0;
    myInit();
    if (m_length > 0) {
        size_t sectors = ceilDivide(static_cast<size_t>(m_length), SECTOR_BYTES);
        // The tail of the last sector goes to the flash too: never leave it
        // undefined.
        m_buffer.assign(sectors * SECTOR_BYTES, static_cast<char>(0xFF));
        setAsBad();
    }
    myInitLater();
    return 0;
}

int BaseCmdData::validateFlash(UsbDevice* /*device*/) { return 0; }

int BaseCmdData::writeFlash()
{
    if (m_device == nullptr) {
        CPLOG(4, "not device is defined when write data of %s, data write failed", getName());
        return -1;
    }
    return writeFlash(m_device);
}

int BaseCmdData::write(const std::string& file)
{
    int written = usbWriteFile(file.c_str(), getBuffer(), m_length, 0);
    if (written != m_length) {
        CPLOG(3, "write scan sample file '%s' failed : ", file.c_str());
        return -1;
    }
    CPLOG(7, "sample file with length of %d has been wroten", m_length);
    return 0;
}

// Dumps go beside the run's log, never into the working folder.
int BaseCmdData::write() { return write(UsbConfiguration::instance()->getOutputPath(m_fileName)); }

void BaseCmdData::setAsGood()
{
    size_t n = std::min(m_buffer.size(), static_cast<size_t>(std::max(m_length, 0)));
    std::memset(m_buffer.data(), 0x00, n);
}

void BaseCmdData::setAsBad()
{
    size_t n = std::min(m_buffer.size(), static_cast<size_t>(std::max(m_length, 0)));
    std::memset(m_buffer.data(), 0xFF, n);
}

int BaseCmdData::myInitLater() { return 0; }

}  // namespace Tessor::schema
