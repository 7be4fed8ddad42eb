#include "schema/device/Mp3Config.h"

#include "platform/orrin/ByteOrder.h"

#include <cstring>

namespace Tessor::schema {

namespace {

// Where each field of a block lies in the packed record; width 2 fields are
// stored low byte first.
struct Placement {
    int offset;
    int width;
};

const Placement decPlaces[] = {{4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}};
const Placement recPlaces[] = {{12, 1}, {13, 1}, {14, 1}, {15, 1}};
const Placement sdcPlaces[] = {{20, 1}, {21, 1}, {22, 1}, {23, 1}, {24, 2}, {26, 1}, {27, 1}, {28, 1}, {29, 1}};
const Placement spiPlaces[] = {{34, 1}, {35, 1}, {36, 1}, {37, 1}, {38, 1}, {39, 2}, {41, 1}, {42, 1}};
const Placement i2cPlaces[] = {{47, 1}, {48, 1}, {49, 1}, {50, 1}, {51, 2}};
const Placement lcmPlaces[] = {{55, 1}, {56, 1}, {57, 1}, {58, 1}, {59, 1}};
const int KEY_OFFSET = 62;

template <size_t N>
void pack(const Mp3Block& block, const Placement (&places)[N], unsigned char* out)
{
    for (size_t i = 0; i < N; ++i) {
        uint32_t value = static_cast<uint32_t>(block.getField(static_cast<int>(i)));
        out[places[i].offset] = static_cast<unsigned char>(value & 0xFF);
        if (places[i].width == 2) {
            out[places[i].offset + 1] = static_cast<unsigned char>((value >> 8) & 0xFF);
        }
    }
}

template <size_t N>
void unpack(Mp3Block& block, const Placement (&places)[N], const unsigned char* in)
{
    for (size_t i = 0; i < N; ++i) {
        const unsigned char* field = in + places[i].offset;
        const int32_t value = places[i].width == 2 ? fieldAt<Le16>(field) : *field;
        block.setField(static_cast<int>(i), value);
    }
}

}  // namespace

Mp3Config::Mp3Config(const std::string& name) : BaseData(name)
{
    init();
}

int Mp3Config::init()
{
    m_sys = Sptr<Mp3SysCfg>(new Mp3SysCfg("DefaultMp3SysCfg"));
    m_dec = Sptr<Mp3DecCfg>(new Mp3DecCfg("DefaultMp3DecCfg"));
    m_rec = Sptr<Mp3RecCfg>(new Mp3RecCfg("DefaultMp3RecCfg"));
    m_sdc = Sptr<Mp3SdcCfg>(new Mp3SdcCfg("DefaultMp3SdcCfg"));
    m_spi = Sptr<Mp3SpiCfg>(new Mp3SpiCfg("DefaultMp3SpiCfg"));
    m_i2c = Sptr<Mp3I2cCfg>(new Mp3I2cCfg("DefaultMp3I2cCfg"));
    m_lcm = Sptr<Mp3LcmCfg>(new Mp3LcmCfg("DefaultMp3LcmCfg"));
    m_key = Sptr<Mp3KeyCfg>(new Mp3KeyCfg("DefaultMp3KeyCfg"));
    return 0;
}

int Mp3Config::serialize(void* out)
{
    unsigned char* record = static_cast<unsigned char*>(out);
    record[0] = 0;
    for (int bit = 0; bit < 8; ++bit) {
        record[0] |= static_cast<unsigned char>((m_sys->getField(bit) & 1) << bit);
    }
    pack(*m_dec, decPlaces, record);
    pack(*m_rec, recPlaces, record);
    pack(*m_sdc, sdcPlaces, record);
    pack(*m_spi, spiPlaces, record);
    pack(*m_i2c, i2cPlaces, record);
    pack(*m_lcm, lcmPlaces, record);
    for (int i = 0; i < m_key->getFieldCount(); ++i) {
        record[KEY_OFFSET + i] = static_cast<unsigned char>(m_key->getField(i) & 0xFF);
    }
    return RECORD_SIZE;
}

int Mp3Config::reverseSerialize(void* in)
{
    const unsigned char* record = static_cast<const unsigned char*>(in);
    for (int bit = 0; bit < 8; ++bit) {
        m_sys->setField(bit, (record[0] >> bit) & 1);
    }
    unpack(*m_dec, decPlaces, record);
    unpack(*m_rec, recPlaces, record);
    unpack(*m_sdc, sdcPlaces, record);
    unpack(*m_spi, spiPlaces, record);
    unpack(*m_i2c, i2cPlaces, record);
    unpack(*m_lcm, lcmPlaces, record);
    for (int i = 0; i < m_key->getFieldCount(); ++i) {
        m_key->setField(i, record[KEY_OFFSET + i]);
    }
    return RECORD_SIZE;
}

}  // namespace Tessor::schema
