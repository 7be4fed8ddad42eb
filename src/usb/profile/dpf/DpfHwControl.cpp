#include "usb/profile/dpf/DpfHwControl.h"

namespace Tessor::schema {

DpfHwControl::DpfHwControl(const std::string& name) : BaseData(name)
{
    init();
}

int DpfHwControl::init()
{
    KeyDetMin = 3;
    KeyDetMax = 10;
    KeyDetLong = 50;
    BackLight = 80;
    ContrastVal = 8;
    LogoVal = 200;
    LogoMovieLen = 16;
    JmpPicNum = 4;
    SwPicVal = 3;
    AutoShutVal = 10;
    IdleVal = 600;
    BeepVal = 3600;
    RAlarmVal = 600;
    HighLevel = 72;
    LowLevel = 48;
    AlarmLength = 1000;
    BeepLength = 300;
    return 0;
}

}  // namespace Tessor::schema
