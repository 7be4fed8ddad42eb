#include "usb/profile/ProfileMp3.h"

#include <cstring>

#include "schema/base/UsbConfiguration.h"

namespace Tessor::usb {

using Tessor::schema::Mp3Block;
using Tessor::schema::Mp3Config;

namespace {

enum { SYS, DEC, REC, SDC, SPI, I2C, LCM, KEY, BLOCKS };

// Which record place each block field travels in. The SPI and I2C buffer
// numbers have no key of their own (they stay 0 from the profile); the LCD
// module's chip select and buffer number are the "bCsSel" and "bBufNum" keys.
struct Link {
    int block;
    int first;   // first field of the run
    int count;   // fields in the run
    int place;   // record place of the first field
};

const Link links[] = {
    {SYS, 0, 8, 0},  {DEC, 0, 5, 8},  {REC, 0, 4, 13}, {SDC, 0, 9, 17}, {SPI, 0, 8, 26},
    {I2C, 0, 5, 34}, {LCM, 0, 5, 39}, {KEY, 0, 24, 44},
};

const int UNKEYED_PLACES[] = {26, 35};

Mp3Block* blockOf(Mp3Config& config, int block)
{
    switch (block) {
    case SYS: return config.getSysCfg().get();
    case DEC: return config.getDecCfg().get();
    case REC: return config.getRecCfg().get();
    case SDC: return config.getSdcCfg().get();
    case SPI: return config.getSpiCfg().get();
    case I2C: return config.getI2cCfg().get();
    case LCM: return config.getLcmCfg().get();
    default: return config.getKeyCfg().get();
    }
}

}  // namespace

ProfileMp3::ProfileMp3(std::string section)
    : BaseProfile(section), m_mp3Config(new Mp3Config("Mp3ConfigFromIni"))
{
    memset(&m_record, 0, sizeof m_record);
    m_fileName = Tessor::schema::UsbConfiguration::instance()->getMp3FileName();
    init();
}

void ProfileMp3::init()
{
    // Decode fails only on a bad key table.
    (void)decode(m_fileName, m_sectionName, &m_record, &Mp3ProfileFields);
    for (int place : UNKEYED_PLACES) {
        m_record.place[place] = 0;
    }
    for (const Link& link : links) {
        Mp3Block* block = blockOf(*m_mp3Config, link.block);
        for (int i = 0; i < link.count; ++i) {
            block->setField(link.first + i, m_record.place[link.place + i]);
        }
    }
}

int ProfileMp3::setMp3Config(const Sptr<Mp3Config>& config)
{
    for (const Link& link : links) {
        Mp3Block* block = blockOf(*config, link.block);
        for (int i = 0; i < link.count; ++i) {
            m_record.place[link.place + i] = block->getField(link.first + i);
        }
    }
    return encode(m_fileName, m_sectionName, &m_record, &Mp3ProfileFields);
}

}  // namespace Tessor::usb
