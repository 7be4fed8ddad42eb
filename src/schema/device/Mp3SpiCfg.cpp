#include "schema/device/Mp3SpiCfg.h"

namespace Tessor::schema {

namespace {

const Mp3Field fields[] = {
    {"bBufNum", 0},
    {"bSsPulseLow", 1},
    {"bClkDivide", 1},
    {"bClkParit", 0},
    {"bSpmCsSel", 0},
    {"wProgLen", 256},
    {"bMLsbMsb", 0},
    {"bMClkPhase", 0},
};

}  // namespace

Mp3SpiCfg::Mp3SpiCfg(const std::string& name) : Mp3Block(name, fields, sizeof fields / sizeof fields[0])
{
    init();
}

Mp3SpiCfg::Mp3SpiCfg(const Sptr<Mp3SpiCfg>& other) : Mp3SpiCfg("Mp3SpiCfg")
{
    copyFields(*other);
}

Mp3SpiCfg& Mp3SpiCfg::operator=(const Mp3SpiCfg& other)
{
    copyFields(other);
    return *this;
}

}  // namespace Tessor::schema
