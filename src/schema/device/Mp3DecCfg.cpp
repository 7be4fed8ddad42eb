#include "schema/device/Mp3DecCfg.h"

namespace Tessor::schema {

namespace {

const Mp3Field fields[] = {
    {"bDecStaBufNum", 4},
    {"bDecUseBufNum", 3},
    {"bBufMsk", 0x70},
    {"bBufSize", 0},
    {"bBGPlay", 0},
};

}  // namespace

Mp3DecCfg::Mp3DecCfg(const std::string& name) : Mp3Block(name, fields, sizeof fields / sizeof fields[0])
{
    init();
}

Mp3DecCfg::Mp3DecCfg(const Sptr<Mp3DecCfg>& other) : Mp3DecCfg("Mp3DecCfg")
{
    copyFields(*other);
}

Mp3DecCfg& Mp3DecCfg::operator=(const Mp3DecCfg& other)
{
    copyFields(other);
    return *this;
}

}  // namespace Tessor::schema
