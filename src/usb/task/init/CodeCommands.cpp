#include "usb/task/init/CodeCommands.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"

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

// The table a device runs from until its own is written: signature words,
// settings left at zero, and the XOR of every other word at byte 8.
class DefaultCfgTable : public schema::BaseCmdData {
public:
    static constexpr unsigned int SIGNATURE = 0xA55AA55A;
    static constexpr int CHECKSUM_OFFSET = 8;

    DefaultCfgTable() : BaseCmdData("DefaultCfgTable") { init(); }

    int myInit() override
    {
        m_length = schema::UsbConfiguration::instance()->getChipSet() == schema::CHIPSET_6726 ? SECTOR_SIZE + 1
                                                                                               : SECTOR_SIZE;
        return 0;
    }

    int myInitLater() override
    {
        unsigned char* table = reinterpret_cast<unsigned char*>(getBuffer());
        std::fill(table, table + m_length, 0);
        putWord(table, 0, SIGNATURE);
        putWord(table, 4, SIGNATURE);
        unsigned int sum = 0;
        for (int offset = 0; offset < SECTOR_SIZE; offset += 4) {
            if (offset != CHECKSUM_OFFSET) {
                sum ^= getWord(table, offset);
            }
        }
        putWord(table, CHECKSUM_OFFSET, sum);
        return 0;
    }

    int writeFlash(schema::UsbDevice* device) override
    {
        return device->writeConfigTable2Ram(reinterpret_cast<const unsigned char*>(getBuffer()));
    }

private:
    static void putWord(unsigned char* p, int offset, unsigned int value)
    {
        for (int i = 0; i < 4; ++i) {
            p[offset + i] = static_cast<unsigned char>(value >> (8 * i));
        }
    }

    static unsigned int getWord(const unsigned char* p, int offset)
    {
        unsigned int value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | p[offset + i];
        }
        return value;
    }
};

}  // namespace

Sptr<schema::BaseCmdData> getCodeCommand(CODE_COMMAND_T command)
{
    schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
    switch (command) {
    case CODE_DEFAULT_CFG_TABLE:
        return Sptr<schema::BaseCmdData>(new DefaultCfgTable());
    case CODE_SCAN:
        return Sptr<schema::BaseCmdData>(new CodeImage("ScanCode", interim::CODE_TYPE_SCAN, config->getScanCodeList()));
    case CODE_WRITE_FLASH:
        return Sptr<schema::BaseCmdData>(
            new CodeImage("ExternalAsScanCode", interim::CODE_TYPE_RAM, config->getUdiskCodeList()));
    case CODE_HIGH_FORMAT:
        return Sptr<schema::BaseCmdData>(
            new CodeImage("External4HighFormat", interim::CODE_TYPE_RAM_HIGH_FORMAT, config->getUdiskCodeList()));
    }
    return Sptr<schema::BaseCmdData>();
}

}  // namespace Tessor::usb
