#include "schema/device/Mp3LcmCfg.h"

namespace Tessor::schema {

namespace {

const Mp3Field fields[] = {
    {"bBusType", 0},
    {"bLcmBusWide", 0},
    {"bClkCyl", 0xFF},
    {"bCsSel", 0},
    {"bBufNum", 3},
};

}  // namespace

Mp3LcmCfg::Mp3LcmCfg(const std::string& name) : Mp3Block(name, fields, sizeof fields / sizeof fields[0])
{
    init();
}

Mp3LcmCfg::Mp3LcmCfg(const Sptr<Mp3LcmCfg>& other) : Mp3LcmCfg("Mp3LcmCfg")
{
    copyFields(*other);
}

Mp3LcmCfg& Mp3LcmCfg::operator=(const Mp3LcmCfg& other)
{
    copyFields(other);
    return *this;
}

}  // namespace Tessor::schema
