#include "schema/dpf/DpfHwControl.h"

#include "schema/base/SystemInfo.h"

namespace Tessor::schema {

DpfHwControl::DpfHwControl(const std::string& name) : BaseData(name)
{
    init();
}

DpfHwControl::DpfHwControl(const Sptr<DpfHwControl>& other) : BaseData("DpfHwControl") { *this = *other; }

DpfHwControl& DpfHwControl::operator=(const DpfHwControl& other)
{
    KeyDetMin = other.KeyDetMin;
    KeyDetMax = other.KeyDetMax;
    KeyDetLong = other.KeyDetLong;
    BackLight = other.BackLight;
    ContrastVal = other.ContrastVal;
    LogoVal = other.LogoVal;
    LogoMovieLen = other.LogoMovieLen;
    JmpPicNum = other.JmpPicNum;
    SwPicVal = other.SwPicVal;
    AutoShutVal = other.AutoShutVal;
    IdleVal = other.IdleVal;
    BeepVal = other.BeepVal;
    RAlarmVal = other.RAlarmVal;
    HighLevel = other.HighLevel;
    LowLevel = other.LowLevel;
    AlarmLength = other.AlarmLength;
    BeepLength = other.BeepLength;
    return *this;
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
    clock = SystemInfo::getSystemClock(nullptr);
    HighLevel = 72;
    LowLevel = 48;
    AlarmLength = 1000;
    BeepLength = 300;
    return 0;
}

void DpfHwControl::debug()
{
    SystemInfo::debug("\tDPF Hw Control :\n");
    SystemInfo::debug("\t\tKey Detect : Min : %d\t Max : %d\t Long : %d\n", KeyDetMin, KeyDetMax, KeyDetLong);
    SystemInfo::debug("\t\tBackLight : %d\t Contrast : %d\n", BackLight, ContrastVal);
    SystemInfo::debug("\t\tLogo Time : %d\t Number of Pic  for LogoMovie : %d\n", LogoVal, LogoMovieLen);
    SystemInfo::debug("\t\tJunmp Number of Picture for long Press : %d\t Idle Time : %d\n", JmpPicNum, IdleVal);
    SystemInfo::debug("\t\tDelay : Swap Picture : %d\t Auto ShutDown : %d\tReset Alarm : %d\n", SwPicVal, AutoShutVal,
                      RAlarmVal);
    SystemInfo::debug("\t\tBeep : On Time : %d\t Off Time : %d\n", BeepLength, BeepVal);
    SystemInfo::debug("\t\tLevel Time : High : %d\t Low : %d\n", HighLevel, LowLevel);
    SystemInfo::debug("\t\tAlarm Time : %d\n", AlarmLength);
}

}  // namespace Tessor::schema
