#include <gtest/gtest.h>

#include <atomic>

#include "schema/base/LogCapture.h"
#include "schema/base/ThreadIf.h"

namespace {

// Runs until its owner sets the stop flag.
class SpinThread : public ThreadIf {
public:
    void thread() override
    {
        ++started;
        while (!getStopFlag()) {
        }
    }
    std::atomic<int> started{0};
};

TEST(ThreadIf, RunsTheBodyUntilTheStopFlagAndJoins)
{
    SpinThread thread;
    ASSERT_EQ(thread.run(), 0);
    EXPECT_TRUE(thread.isActive());
    thread.setStopFlag();
    EXPECT_EQ(thread.join(), 0);
    EXPECT_FALSE(thread.isActive());
    EXPECT_EQ(thread.started, 1);
}

TEST(ThreadIf, StartingARunningThreadAgainFailsWithItsLogLine)
{
    LogCapture log(Tessor::schema::LOG_ERR);
    SpinThread thread;
    ASSERT_EQ(thread.run(), 0);
    EXPECT_EQ(thread.run(), -1);
    thread.setStopFlag();
    thread.join();
    EXPECT_EQ(thread.started, 1);
    EXPECT_NE(log.text().find("] ERR "), std::string::npos);
    EXPECT_NE(log.text().find(" is already active"), std::string::npos);
    EXPECT_NE(log.text().find("VThread:"), std::string::npos);
}

TEST(ThreadIf, AThreadCanBeStartedAgainAfterItWasJoined)
{
    SpinThread thread;
    ASSERT_EQ(thread.run(), 0);
    thread.setStopFlag();
    thread.join();
    ASSERT_EQ(thread.run(), 0);
    thread.join();
    EXPECT_EQ(thread.started, 2);
}

}  // namespace
