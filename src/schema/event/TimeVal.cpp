#include "schema/event/TimeVal.h"

#include "platform/orrin/Orrin.h"

namespace Tessor::TimeAndDate {

namespace {
constexpr long kUsecPerSec = 1000000;
}

TimeVal::TimeVal() : TimeVal(0, 0) {}

TimeVal::TimeVal(long sec, long usec) : timeval{}
{
    tv_sec = sec;
    tv_usec = usec;
    normalise();
}

TimeVal TimeVal::now()
{
    timeval tv{};
    sharedGetTimeofDay(&tv, nullptr);
    return TimeVal(tv.tv_sec, tv.tv_usec);
}

TimeVal& TimeVal::operator+=(const TimeVal& other)
{
    tv_sec += other.tv_sec;
    tv_usec += other.tv_usec;
    normalise();
    return *this;
}

TimeVal& TimeVal::operator-=(const TimeVal& other)
{
    tv_sec -= other.tv_sec;
    tv_usec -= other.tv_usec;
    normalise();
    return *this;
}

TimeVal& TimeVal::addMs(long ms)
{
    tv_sec += ms / 1000;
    tv_usec += (ms % 1000) * 1000;
    normalise();
    return *this;
}

long TimeVal::msUntil(const TimeVal& current) const
{
    TimeVal left = *this - current;
    long ms = left.tv_sec * 1000 + left.tv_usec / 1000;
    return ms < 0 ? 0 : ms;
}

void TimeVal::normalise()
{
    if (tv_usec < 0) {
        long k = 1 - tv_usec / kUsecPerSec;
        tv_sec -= k;
        tv_usec += k * kUsecPerSec;
    }
    if (tv_usec >= kUsecPerSec) {
        tv_sec += tv_usec / kUsecPerSec;
        tv_usec %= kUsecPerSec;
    }
}

std::ostream& TimeVal::writeTo(std::ostream& out) const
{
    return out << "{ sec: " << tv_sec << ", usec: " << tv_usec << " }";
}

}  // namespace Tessor::TimeAndDate
