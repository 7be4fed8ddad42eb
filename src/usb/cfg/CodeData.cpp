#include "usb/cfg/CodeData.h"

#include "platform/taval/Taval.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "platform/orrin/HostPath.h"

namespace Tessor::usb {

CodeData::CodeData(const std::string& file, int offset, int length, CODE_TYPE_T type)
    : BaseData(file), m_file(file), m_offset(offset), m_length(length), m_type(type)
{
    init();
}

int CodeData::init()
{
    const int bytes = getCodeLengthInBytes();
    m_buffer.assign(static_cast<size_t>(bytes), 0);
    const std::string host = HostPath::toHost(m_file);
    const int n = usbReadFile(host.c_str(), m_buffer.data(), bytes, m_offset * STEP_BYTES);
    m_read = n > 0 ? n : 0;
    if (m_read < bytes) {
        // The firmware checks every piece's seal, so a short one is padded
        // with zeros and sealed like the others.
        CPLOG(4, "Code piece %d of '%s' has %d of %d bytes, the rest is zero", m_offset, m_file.c_str(), m_read,
              bytes);
    }
    if (schema::UsbConfiguration::instance()->getChipSet() != schema::CHIPSET_6605) {
        checkSum(m_buffer.data(), bytes);
    }
    return m_read;
}

}  // namespace Tessor::usb
