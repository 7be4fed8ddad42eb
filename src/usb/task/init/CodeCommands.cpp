#include "usb/task/init/CodeCommands.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CodeTypes.h"

namespace Tessor::usb {

namespace {

// A firmware image read from the first file the configuration lists for
// the chip set.
class CodeImage : public schema::BaseCmdData {
public:
    CodeImage(const std::string& name, unsigned char mode, const schema::UsbConfiguration::CodeList* files)
        : BaseCmdData(name), m_mode(mode)
    {
        if (files != nullptr && !files->empty()) {
            m_fileName = files->front();
        }
        init();
    }

    int myInit() override
    {
        std::ifstream in(m_fileName, std::ios::binary);
        m_image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        m_length = static_cast<int>(m_image.size());
        return 0;
    }

    int myInitLater() override
    {
        std::copy(m_image.begin(), m_image.end(), m_buffer.begin());
        m_image.clear();
        return 0;
    }

    int writeFlash(schema::UsbDevice* device) override
    {
        if (m_length == 0) {
            CPLOG(3, "Code image '%s' of %s can not be read", m_fileName.c_str(), getName());
            return -1;
        }
        return device->downloadExternalCode(m_mode, reinterpret_cast<const unsigned char*>(getBuffer()), m_length);
    }

private:
    unsigned char m_mode;
    // The file's bytes until the buffer is allocated.
    std::vector<char> m_image;
};

}  // namespace

Sptr<schema::BaseCmdData> getCodeCommand(CODE_COMMAND_T command)
{
    schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
    switch (command) {
    case CODE_DEFAULT_CFG_TABLE:
        return Sptr<schema::BaseCmdData>(new CfgTable(nullptr, "DefaultCfgTable", CFG_TABLE_DEFAULT));
    case CODE_SCAN:
        return Sptr<schema::BaseCmdData>(new CodeImage("ScanCode", CODE_TYPE_SCAN, config->getScanCodeList()));
    case CODE_WRITE_FLASH:
        return Sptr<schema::BaseCmdData>(
            new CodeImage("ExternalAsScanCode", CODE_TYPE_RAM, config->getUdiskCodeList()));
    case CODE_HIGH_FORMAT:
        return Sptr<schema::BaseCmdData>(
            new CodeImage("External4HighFormat", CODE_TYPE_RAM_HIGH_FORMAT, config->getUdiskCodeList()));
    }
    return Sptr<schema::BaseCmdData>();
}

}  // namespace Tessor::usb
