#include "usb/profile/dpf/DpfStateControl.h"

namespace Tessor::schema {

DpfStateControl::DpfStateControl(const std::string& name) : BaseData(name)
{
    init();
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

}  // namespace Tessor::schema
