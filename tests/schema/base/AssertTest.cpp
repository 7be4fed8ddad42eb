#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "schema/base/Assert.h"
#include "schema/base/Log.h"

namespace {

void waitForever()
{
    for (;;) {
        pause();
    }
}

class Assertion : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(Assertion, FailedCheckLogsItsLineAtErrorLevelAndExitsNonZero)
{
    // The check and the line it is on, on one line.
    const int line = __LINE__; auto failedCheck = [] { TESSOR_ASSERT(1 + 1 == 3); };
    const std::string at = std::to_string(line);
    EXPECT_EXIT(
        {
            Tessor::schema::setLogLevel(Tessor::schema::LOG_EMRG);
            failedCheck();
        },
        testing::ExitedWithCode(2),
        "\\[\\] ERR .*AssertTest.cpp:" + at + " Assert false at " + at + " line of .* at .*AssertTest.cpp");
}

TEST_F(Assertion, FailedCheckOnAnotherThreadEndsWithoutRunningExitHandlers)
{
    // The exit-time shutdown waits for the manager threads; run on one of
    // them it would hang, so an assertion must not run it.
    EXPECT_EXIT(
        {
            std::atexit(waitForever);
            std::thread worker([] { TESSOR_ASSERT(false); });
            worker.join();
        },
        testing::ExitedWithCode(2), "Assert false");
}

}  // namespace
