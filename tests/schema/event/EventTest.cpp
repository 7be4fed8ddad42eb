#include <gtest/gtest.h>

#include "support/LogCapture.h"
#include "schema/event/DeviceEvent.h"
#include "schema/event/HwEvent.h"
#include "schema/event/UiEvent.h"

namespace {

using namespace Tessor::schema;

TEST(ProgressInfo, ReportAddsTheOperatorsShareToWhatTheStateAlreadyHas)
{
    struct Case {
        int weight;
        int accumulated;
        int percent;
        int stateTotal;
        int current;
        int total;
    };
    const Case cases[] = {
        {250, 100, 50, 1000, 225, 1000},
        {250, 100, 150, 1000, 125, 1000},  // out of range counts as 10
        {250, 100, -1, 1000, 125, 1000},
        {150, 0, 100, 300, 150, 300},
        {33, 7, 33, 250, 17, 250},         // integer arithmetic
        {100, 0, 100, 0, 100, 1000},       // a state without weights
    };
    for (const Case& c : cases) {
        ProgressInfo info("StateScan", 3, c.stateTotal, "ScanProcess", c.weight, c.accumulated, c.percent);
        EXPECT_EQ(info.getCurrentProgress(), c.current) << c.weight << " " << c.percent;
        EXPECT_EQ(info.getTotalProgress(), c.total);
        EXPECT_EQ(info.getStateId(), 3);
        EXPECT_EQ(info.getStateName(), "StateScan");
        EXPECT_EQ(info.getOperatorName(), "ScanProcess");
    }
}

TEST(ProgressInfo, StateWithoutWeightsIsLoggedAsAWarning)
{
    test_support::LogCapture log(LOG_WARN);
    ProgressInfo info("StateWait", 2, 0, "Idle", 0, 0, 100);
    EXPECT_NE(log.text().find("WARN "), std::string::npos);
    EXPECT_NE(log.text().find("Total Progress Info in State of StateWait is 0"), std::string::npos);
}

TEST(ProgressInfo, CopyOfARecordTakesEveryField)
{
    Sptr<ProgressInfo> original(new ProgressInfo("StateLowFormat", 5, 250, "WriteData", 100, 20, 50));
    original->setCurScanMode(4);
    ProgressInfo copy(original);
    EXPECT_EQ(copy.getStateName(), "StateLowFormat");
    EXPECT_EQ(copy.getStateId(), 5);
    EXPECT_EQ(copy.getOperatorName(), "WriteData");
    EXPECT_EQ(copy.getCurrentProgress(), 70);
    EXPECT_EQ(copy.getTotalProgress(), 250);
    EXPECT_EQ(copy.getCurScanMode(), 4);
}

TEST(BaseEvent, PostsIntoItsOwnQueueOrTheOneGiven)
{
    Sptr<EventQueue> own(new EventQueue());
    Sptr<EventQueue> other(new EventQueue());
    Sptr<BaseEvent> carrier(new DeviceEvent(DEV_SIG_READ_VERSION));
    carrier->setQueue(own);
    Sptr<BaseEvent> first(new UiEvent(UI_SIG_READY));
    Sptr<BaseEvent> second(new HwEvent(HW_EVT_PLUG_IN));
    carrier->postEvent(first);
    carrier->postEvent(second, other);
    EXPECT_TRUE(own->popWait() == first);
    EXPECT_TRUE(other->popWait() == second);
    EXPECT_STREQ(first->name(), "UI-EVENT");
    EXPECT_STREQ(second->name(), "HW-EVENT");
    EXPECT_STREQ(carrier->name(), "DEVICE-EVENT");
}

TEST(BaseEvent, PostingAnEmptyEventOrThroughAnEventWithoutQueueEndsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Sptr<EventQueue> queue(new EventQueue());
    Sptr<BaseEvent> carrier(new DeviceEvent(DEV_SIG_SCAN));
    Sptr<BaseEvent> event(new DeviceEvent(DEV_SIG_AFTER_SCAN));
    EXPECT_EXIT(carrier->postEvent(event), testing::ExitedWithCode(2), "Assert false");
    EXPECT_EXIT(carrier->postEvent(Sptr<BaseEvent>(), queue), testing::ExitedWithCode(2), "Assert false");
}

TEST(HwEvent, TimerQueuesTheEventOnTheHardwareEventsQueueWhenDue)
{
    Sptr<EventQueue> queue(new EventQueue());
    Sptr<HwEvent> timer(new HwEvent(HW_EVT_PLUG_IN));
    timer->setQueue(queue);
    Sptr<BaseEvent> event(new DeviceEvent(DEV_SIG_READ_VERSION));
    timer->startTimer(event, 20);
    EXPECT_NE(timer->getTimerId(), 0);
    queue->push(Sptr<BaseEvent>(new UiEvent(UI_SIG_FOUND)));
    Sptr<UiEvent> first = queue->popWait();
    Sptr<DeviceEvent> second = queue->popWait();
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->getType(), DEV_SIG_READ_VERSION);
}

TEST(UiEvent, CarriesTheProgressRecordAsReported)
{
    Sptr<ProgressInfo> progress(new ProgressInfo("StateScan", 3, 1000, "ScanProcess", 600, 0, 50));
    progress->setCurScanMode(2);
    UiEvent event(UI_SIG_PROGRESS);
    event.setProgressInfo(progress);
    progress->setCurScanMode(7);  // the record is shared, not copied
    EXPECT_EQ(event.getProgressInfo()->getCurScanMode(), 7);
    EXPECT_EQ(event.getType(), UI_SIG_PROGRESS);
    EXPECT_FALSE(event.getConfigInfo());
}

}  // namespace
