#include "schema/device/Mp3SdcCfg.h"

namespace Tessor::schema {

namespace {

const Mp3Field fields[] = {
    {"bClkPin", 0},
    {"bInClkInv", 0},
    {"bLowPowr", 1},
    {"bDetMode", 0},
    {"wCmdRetry", 100},
    {"bWorkClk", 0},
    {"bSdcBusWide", 1},
    {"bSdcStaBufNum", 0},
    {"bSdcUseBufNum", 8},
};

}  // namespace

Mp3SdcCfg::Mp3SdcCfg(const std::string& name) : Mp3Block(name, fields, sizeof fields / sizeof fields[0])
{
    init();
}

Mp3SdcCfg::Mp3SdcCfg(const Sptr<Mp3SdcCfg>& other) : Mp3SdcCfg("Mp3SdcCfg")
{
    copyFields(*other);
}

Mp3SdcCfg& Mp3SdcCfg::operator=(const Mp3SdcCfg& other)
{
    copyFields(other);
    return *this;
}

}  // namespace Tessor::schema
