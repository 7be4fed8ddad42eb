// Calendar time in the layout of the Windows calendar time record.
#pragma once

#include <cstdint>

namespace Tessor::schema {

class SystemClock {
public:
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    // The serial counter in the records made for serial numbers.
    uint16_t milliseconds = 0;
};

}  // namespace Tessor::schema
