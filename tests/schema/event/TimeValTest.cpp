#include <gtest/gtest.h>

#include <sstream>

#include "schema/event/TimerContainer.h"

namespace {

using Tessor::TimeAndDate::TimerContainer;
using Tessor::TimeAndDate::TimeVal;

TEST(TimeVal, ArithmeticKeepsMicrosecondsNormalised)
{
    struct Case {
        TimeVal result;
        long sec;
        long usec;
    };
    const Case cases[] = {
        {TimeVal(1, 999999) + TimeVal(0, 1), 2, 0},
        {TimeVal(1, 600000) + TimeVal(2, 700000), 4, 300000},
        {TimeVal(2, 100) - TimeVal(0, 200), 1, 999900},
        {TimeVal(5, 0) - TimeVal(1, 2500000), 1, 500000},
        {TimeVal(0, 3500000), 3, 500000},
        {TimeVal(1, 0).addMs(2345), 3, 345000},
        {TimeVal(1, 900000).addMs(150), 2, 50000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result.tv_sec, c.sec) << c.result;
        EXPECT_EQ(c.result.tv_usec, c.usec) << c.result;
    }
}

TEST(TimeVal, DueOnlyWhenStrictlyLaterAndRemainingTimeNeverNegative)
{
    const TimeVal due(10, 500);
    EXPECT_FALSE(due.isDueAt(TimeVal(10, 500)));
    EXPECT_TRUE(due.isDueAt(TimeVal(10, 501)));
    EXPECT_FALSE(due.isDueAt(TimeVal(9, 999999)));
    EXPECT_EQ(due.msUntil(TimeVal(8, 500)), 2000);
    EXPECT_EQ(due.msUntil(TimeVal(10, 0)), 0);
    EXPECT_EQ(due.msUntil(TimeVal(11, 0)), 0);
}

TEST(TimerContainer, KeepsEntriesByDueTimeAndPrintsThem)
{
    TimerContainer<int> timers;
    const int late = timers.add(1, 5000);
    const int early = timers.add(2, 10);
    const int sameAsEarly = timers.add(3, 10);
    EXPECT_NE(late, early);
    std::ostringstream out;
    out << timers;
    EXPECT_EQ(out.str().rfind("timer container (size: 3)", 0), 0u) << out.str();
    EXPECT_NE(out.str().find("{ sec: "), std::string::npos);
    EXPECT_NE(out.str().find(", usec: "), std::string::npos);
    EXPECT_NE(out.str().find(", relative time of expiration = "), std::string::npos);
    EXPECT_EQ(timers.earliest().getId(), early);
    EXPECT_EQ(timers.takeEarliest(), 2);
    EXPECT_EQ(timers.earliest().getId(), sameAsEarly);
    EXPECT_EQ(timers.takeEarliest(), 3);
    EXPECT_EQ(timers.takeEarliest(), 1);
    EXPECT_TRUE(timers.empty());
}

}  // namespace
