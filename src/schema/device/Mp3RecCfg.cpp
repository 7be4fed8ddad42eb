#include "schema/device/Mp3RecCfg.h"

namespace Tessor::schema {

namespace {

const Mp3Field fields[] = {
    {"bShiftNum", 4},
    {"bQuanMode", 2},
    {"bLeftEn", 1},
    {"bRightEn", 0},
};

}  // namespace

Mp3RecCfg::Mp3RecCfg(const std::string& name) : Mp3Block(name, fields, sizeof fields / sizeof fields[0])
{
    init();
}

Mp3RecCfg::Mp3RecCfg(const Sptr<Mp3RecCfg>& other) : Mp3RecCfg("Mp3RecCfg")
{
    copyFields(*other);
}

Mp3RecCfg& Mp3RecCfg::operator=(const Mp3RecCfg& other)
{
    copyFields(other);
    return *this;
}

}  // namespace Tessor::schema
