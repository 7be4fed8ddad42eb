// The engine's start and end: a device library that does not start, and
// reports that come once the shutdown has begun.
#include <thread>

#include "EngineHarness.h"

namespace {

using namespace engine_test;

TEST(EngineLifeTest, ADeviceLibraryThatDoesNotStartGivesAFailure)
{
    EngineEnvironment::instance();
    // The library refuses a station without ports.
    Engine engine(0, FUNCTION_FACTORY);
    EXPECT_LT(engine.initResult(), 0);
}

TEST(EngineLifeTest, ReportsAfterTheShutdownBeganAreDropped)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    Engine engine(1, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, environment.makeDevice("late"), &error), 0) << error;
    ASSERT_TRUE(engine.ui().waitReports(0, {{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}}));
    RunAgent::detachUi();
    ASSERT_EQ(engine.hub().injectError(0, 5), 0);
    EXPECT_TRUE(engine.waitState(0, "StateError"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(engine.ui().reports(0), (std::vector<Report>{{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}}));
}

}  // namespace
