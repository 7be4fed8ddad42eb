// Time of day in seconds and microseconds, always kept normalised.
#pragma once

#include <sys/time.h>

#include "schema/base/Writer.h"

namespace Tessor::TimeAndDate {

class TimeVal : public timeval, public IO::Writer {
public:
    TimeVal();
    TimeVal(long sec, long usec);

    // The current time of day, the clock of all timers.
    static TimeVal now();

    TimeVal& operator+=(const TimeVal& other);
    TimeVal& operator-=(const TimeVal& other);
    TimeVal& addMs(long ms);

    friend TimeVal operator+(TimeVal a, const TimeVal& b) { return a += b; }
    friend TimeVal operator-(TimeVal a, const TimeVal& b) { return a -= b; }
    friend bool operator<(const TimeVal& a, const TimeVal& b)
    {
        return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_usec < b.tv_usec;
    }

    // Due once `current` is strictly later than this time.
    bool isDueAt(const TimeVal& current) const { return *this < current; }
    // Whole milliseconds from `current` until this time, 0 when past.
    long msUntil(const TimeVal& current) const;

    std::ostream& writeTo(std::ostream& out) const override;

private:
    void normalise();
};

}  // namespace Tessor::TimeAndDate
