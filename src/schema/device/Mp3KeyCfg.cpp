#include "schema/device/Mp3KeyCfg.h"

namespace Tessor::schema {

namespace {

// bLedMode starts at 0, the value a profile without the key gives.
const Mp3Field fields[] = {
    {"bKeyMODE0", 0},
    {"bKeyMODE1", 3},
    {"bKeyMODE2", 7},
    {"bKeyNEXT0", 27},
    {"bKeyNEXT1", 27},
    {"bKeyNEXT2", 27},
    {"bKeyPREV0", 22},
    {"bKeyPREV1", 22},
    {"bKeyPREV2", 23},
    {"bKeyVOLD0", 17},
    {"bKeyVOLD1", 18},
    {"bKeyVOLD2", 19},
    {"bKeyVOLU0", 10},
    {"bKeyVOLU1", 12},
    {"bKeyVOLU2", 14},
    {"bBATData0", 20},
    {"bBATData1", 24},
    {"bBATData2", 28},
    {"bBATData3", 31},
    {"bKeyValid", 1},
    {"bKeyDelicacy", 1},
    {"bShortTime", 10},
    {"bLongTime", 100},
    {"bLedMode", 0},
};

}  // namespace

Mp3KeyCfg::Mp3KeyCfg(const std::string& name) : Mp3Block(name, fields, sizeof fields / sizeof fields[0])
{
    init();
}

Mp3KeyCfg::Mp3KeyCfg(const Sptr<Mp3KeyCfg>& other) : Mp3KeyCfg("Mp3KeyCfg")
{
    copyFields(*other);
}

Mp3KeyCfg& Mp3KeyCfg::operator=(const Mp3KeyCfg& other)
{
    copyFields(other);
    return *this;
}

}  // namespace Tessor::schema
