#include "schema/device/Mp3I2cCfg.h"

namespace Tessor::schema {

namespace {

const Mp3Field fields[] = {
    {"bDevType", 1},
    {"bBufNum", 0},
    {"bProgLen", 4},
    {"bClkDiv", 15000},
    {"wProgTime", 205},
};

}  // namespace

Mp3I2cCfg::Mp3I2cCfg(const std::string& name) : Mp3Block(name, fields, sizeof fields / sizeof fields[0])
{
    init();
}

Mp3I2cCfg::Mp3I2cCfg(const Sptr<Mp3I2cCfg>& other) : Mp3I2cCfg("Mp3I2cCfg")
{
    copyFields(*other);
}

Mp3I2cCfg& Mp3I2cCfg::operator=(const Mp3I2cCfg& other)
{
    copyFields(other);
    return *this;
}

}  // namespace Tessor::schema
