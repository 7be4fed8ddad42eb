// The photo frame's switches, modes and menu colours.
#pragma once

#include <cstdint>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"

namespace Tessor::schema {

class DpfStateControl : public BaseData {
public:
    explicit DpfStateControl(const std::string& name);
    // Named "DpfStateControl"; the calendar and analog-clock switches keep
    // their defaults.
    explicit DpfStateControl(const Sptr<DpfStateControl>& other);
    DpfStateControl(const DpfStateControl& other) = default;
    // Every value but the calendar and analog-clock switches.
    DpfStateControl& operator=(const DpfStateControl& other);
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
