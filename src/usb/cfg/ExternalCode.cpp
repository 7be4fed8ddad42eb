#include "usb/cfg/ExternalCode.h"

#include "platform/taval/Taval.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "usb/cfg/CodeData.h"
#include "platform/orrin/HostPath.h"

namespace Tessor::usb {

ExternalCode::ExternalCode(CODE_TYPE_T type, const std::list<std::string>* files, int sectorsPerPiece)
    : BaseData("ExternalCode"), m_type(type), m_files(files), m_sectorsPerPiece(sectorsPerPiece)
{
}

int ExternalCode::init()
{
    CPLOG(7, "### codeType = %d", m_type);
    if (m_files == nullptr) {
        return 0;
    }
    for (const std::string& file : *m_files) {
        if (initOneFile(file) != 0) {
            m_failedFile = file;
            return -1;
        }
    }
    return 0;
}

std::string ExternalCode::fileNames() const
{
    std::string names;
    for (const std::string& file : m_files != nullptr ? *m_files : std::list<std::string>()) {
        names += (names.empty() ? "" : ", ") + file;
    }
    return names;
}

int ExternalCode::pieceCount(const std::string& file, int size)
{
    const int chunks = size / CodeData::STEP_BYTES;
    if (m_type == CODE_TYPE_RAM || m_type == CODE_TYPE_RAM_HIGH_FORMAT) {
        return 1;
    }
    if (m_type == CODE_TYPE_FLASH && schema::UsbConfiguration::instance()->isDpfSupport()) {
        CPLOG(7, "filename %s   tape %d", file.c_str(), m_type);
        return 2;
    }
    if (size % CodeData::STEP_BYTES != 0) {
        CPLOG(4, "The last %d bytes of '%s' are not a whole 4096-byte step and are not used",
              size % CodeData::STEP_BYTES, file.c_str());
    }
    return chunks;
}

int ExternalCode::initOneFile(const std::string& file)
{
    CPLOG(7, "### codeType = %d, file ='%s'", m_type, file.c_str());
    const int size = usbGetFileSize(HostPath::toHost(file).c_str());
    if (size < 1) {
        CPLOG(3, "Size of file '%s' is not validate : %d", file.c_str(), size);
        return -1;
    }
    int pieces = 1;
    if (schema::UsbConfiguration::instance()->getChipSet() == schema::CHIPSET_6605) {
        if (m_type == CODE_TYPE_FLASH) {
            if (size > CodeData::MAX_BYTES) {
                CPLOG(3, "Code file '%s' of %d bytes is larger than the %d bytes a piece holds", file.c_str(), size,
                      CodeData::MAX_BYTES);
                return -1;
            }
            m_sectorsPerPiece = (size + 511) / 512;
        }
    } else {
        pieces = pieceCount(file, size);
    }
    int read = 0;
    for (int i = 0; i < pieces; ++i) {
        Sptr<CodeData> piece(new CodeData(file, i, m_sectorsPerPiece, m_type));
        read += piece->getBytesRead();
        addData(Sptr<schema::BaseData>(piece));
    }
    if (pieces > 0 && read == 0) {
        CPLOG(3, "No byte of code file '%s' could be read", file.c_str());
        return -1;
    }
    return 0;
}

}  // namespace Tessor::usb
