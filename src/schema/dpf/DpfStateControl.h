// The photo frame's switches, modes and menu colours.
#pragma once

#include <cstdint>

#include "schema/data/BaseData.h"

namespace Tessor::schema {

class DpfStateControl : public BaseData {
public:
    explicit DpfStateControl(const std::string& name);
    ~DpfStateControl() override = default;

    int init() override;
    void debug() override;

    bool SlideEn;
    bool AutoUsbEn;
    bool OsdEn;
    bool AlarmEn;
    int32_t LogoSel;
    bool BeepEn;
    int32_t LguageSel;
    bool WatchMode;
    int32_t PhotoDirect;
    int32_t DclkMode;
    bool KeyStartEn;
    int32_t KeyPinType;
    bool KeyUpDnSwEn;
    bool KeyWatchSwEn;
    bool CarlendarEn;
    bool AnalogClockEn;
    int32_t CurColour;
    int32_t BackColour;
    int32_t WordColour;
};

}  // namespace Tessor::schema
