#include "schema/device/Mp3NorCfg.h"

namespace Tessor::schema {

namespace {

const Mp3Field fields[] = {
    {"bNorField0", 0},
    {"bNorField1", 0},
    {"bNorField2", 0},
    {"bNorField3", 0},
    {"bNorField4", 0},
    {"bNorField5", 0},
    {"bNorField6", 0},
    {"bNorField7", 0},
};

}  // namespace

Mp3NorCfg::Mp3NorCfg(const std::string& name) : Mp3Block(name, fields, sizeof fields / sizeof fields[0])
{
    init();
}

Mp3NorCfg::Mp3NorCfg(const Sptr<Mp3NorCfg>& other) : Mp3NorCfg("Mp3NorCfg")
{
    copyFields(*other);
}

Mp3NorCfg& Mp3NorCfg::operator=(const Mp3NorCfg& other)
{
    copyFields(other);
    return *this;
}

}  // namespace Tessor::schema
