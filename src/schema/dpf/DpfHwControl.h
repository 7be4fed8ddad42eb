// The photo frame's timing and level values.
#pragma once

#include <cstdint>

#include "schema/base/Sptr.h"
#include "schema/base/SystemClock.h"
#include "schema/data/BaseData.h"

namespace Tessor::schema {

class DpfHwControl : public BaseData {
public:
    explicit DpfHwControl(const std::string& name);
    // Named "DpfHwControl", every value but the clock, which stays empty.
    explicit DpfHwControl(const Sptr<DpfHwControl>& other);
    // Shares the clock.
    DpfHwControl(const DpfHwControl& other) = default;
    // Every value but the clock, which stays this control's own.
    DpfHwControl& operator=(const DpfHwControl& other);
    ~DpfHwControl() override = default;

    int init() override;
    void debug() override;

    uint8_t KeyDetMin;
    uint8_t KeyDetMax;
    uint8_t KeyDetLong;
    uint8_t BackLight;
    uint8_t ContrastVal;
    uint8_t LogoVal;
    uint8_t LogoMovieLen;
    uint8_t JmpPicNum;
    uint8_t SwPicVal;
    uint8_t AutoShutVal;
    uint16_t IdleVal;
    uint16_t BeepVal;
    uint16_t RAlarmVal;
    // The frame's initial date and time, taken when init runs.
    Sptr<SystemClock> clock;
    uint8_t HighLevel;
    uint8_t LowLevel;
    uint16_t AlarmLength;
    uint16_t BeepLength;
};

}  // namespace Tessor::schema
