#include "schema/device/Mp3SysCfg.h"

namespace Tessor::schema {

namespace {

const Mp3Field fields[] = {
    {"NandEn", 1},
    {"CardEn", 1},
    {"LcmEn", 1},
    {"FmEn", 1},
    {"RecEn", 1},
    {"KeyEn", 1},
    {"SpiEn", 1},
    {"TwiEn", 1},
};

}  // namespace

Mp3SysCfg::Mp3SysCfg(const std::string& name) : Mp3Block(name, fields, sizeof fields / sizeof fields[0])
{
    init();
}

Mp3SysCfg::Mp3SysCfg(const Sptr<Mp3SysCfg>& other) : Mp3SysCfg("Mp3SysCfg")
{
    copyFields(*other);
}

Mp3SysCfg& Mp3SysCfg::operator=(const Mp3SysCfg& other)
{
    copyFields(other);
    return *this;
}

}  // namespace Tessor::schema
