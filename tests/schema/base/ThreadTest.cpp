#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/LogCapture.h"
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
    test_support::LogCapture log(Tessor::schema::LOG_ERR);
    SpinThread thread;
    ASSERT_EQ(thread.run(), 0);
    EXPECT_EQ(thread.run(), -1);
    thread.setStopFlag();
    EXPECT_EQ(thread.join(), 0);
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
    EXPECT_EQ(thread.join(), 0);
    ASSERT_EQ(thread.run(), 0);
    EXPECT_EQ(thread.join(), 0);
    EXPECT_EQ(thread.started, 2);
}

// Still running when its owner lets it go; past touching the object, as a
// manager thread is when it drops its manager.
class SlowThread : public ThreadIf {
public:
    SlowThread(std::atomic<bool>& started, std::atomic<bool>& finished) : m_started(started), m_finished(finished) {}
    void thread() override
    {
        std::atomic<bool>& finished = m_finished;
        m_started = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        finished = true;
    }

private:
    std::atomic<bool>& m_started;
    std::atomic<bool>& m_finished;
};

TEST(ThreadIf, DestroyingARunningThreadWaitsForItToEnd)
{
    std::atomic<bool> started{false};
    std::atomic<bool> finished{false};
    {
        SlowThread thread(started, finished);
        ASSERT_EQ(thread.run(), 0);
        while (!started) {
            std::this_thread::yield();
        }
    }
    EXPECT_TRUE(finished);
}

}  // namespace
