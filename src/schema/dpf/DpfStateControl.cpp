#include "schema/dpf/DpfStateControl.h"

#include "schema/base/SystemInfo.h"

namespace Tessor::schema {

DpfStateControl::DpfStateControl(const std::string& name) : BaseData(name)
{
    init();
}

DpfStateControl::DpfStateControl(const Sptr<DpfStateControl>& other) : BaseData("DpfStateControl")
{
    init();
    *this = *other;
}

DpfStateControl& DpfStateControl::operator=(const DpfStateControl& other)
{
    SlideEn = other.SlideEn;
    AutoUsbEn = other.AutoUsbEn;
    OsdEn = other.OsdEn;
    AlarmEn = other.AlarmEn;
    LogoSel = other.LogoSel;
    BeepEn = other.BeepEn;
    LguageSel = other.LguageSel;
    WatchMode = other.WatchMode;
    PhotoDirect = other.PhotoDirect;
    DclkMode = other.DclkMode;
    KeyStartEn = other.KeyStartEn;
    KeyPinType = other.KeyPinType;
    KeyUpDnSwEn = other.KeyUpDnSwEn;
    KeyWatchSwEn = other.KeyWatchSwEn;
    CurColour = other.CurColour;
    BackColour = other.BackColour;
    WordColour = other.WordColour;
    return *this;
}

int DpfStateControl::init()
{
    SlideEn = true;
    AutoUsbEn = true;
    OsdEn = true;
    AlarmEn = true;
    LogoSel = 4;
    BeepEn = true;
    LguageSel = 0;
    WatchMode = false;
    PhotoDirect = 0;
    DclkMode = 0;
    KeyStartEn = true;
    KeyPinType = 0;
    KeyUpDnSwEn = false;
    KeyWatchSwEn = false;
    CarlendarEn = false;
    AnalogClockEn = false;
    CurColour = 0x07C0;
    BackColour = 0xF000;
    WordColour = 0xFFFF;
    return 0;
}

namespace {

const char* yesNo(bool on) { return on ? "YES" : "NO"; }

}  // namespace

void DpfStateControl::debug()
{
    SystemInfo::debug("\tDPF State Control :\n");
    SystemInfo::debug("\t\tAuto Slide : %s\t Auto USB : %s\n", yesNo(SlideEn), yesNo(AutoUsbEn));
    SystemInfo::debug("\t\tAuto OSD : %s\t Alarm ON : %s\n", yesNo(OsdEn), yesNo(AlarmEn));
    SystemInfo::debug("\t\tBeep4Press : %s\t StopWatch With Minute : %s\n", yesNo(BeepEn), yesNo(WatchMode));
    SystemInfo::debug("\t\tStartup After Key Pressed : %s\t Switch Up/Down Key : %s\n", yesNo(KeyStartEn),
                      yesNo(KeyUpDnSwEn));
    SystemInfo::debug("\t\tSwitch Key Of StopWatch : %s\n", yesNo(KeyWatchSwEn));
    SystemInfo::debug("\t\tLogo Select : %d\t Language : %s\n", LogoSel, LguageSel == 0 ? "Chinese" : "English");
    SystemInfo::debug("\t\tPhoto DIrection : High : %d\t Digit Clock Mode : %d\n", PhotoDirect, DclkMode);
    SystemInfo::debug("\t\tKey Pin Map Mode : %d\n", KeyPinType);
}

}  // namespace Tessor::schema
