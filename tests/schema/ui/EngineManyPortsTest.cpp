// Twenty devices plugged at once, each on its own port and thread.
#include "EngineHarness.h"

namespace {

using namespace engine_test;

TEST(EngineManyPortsTest, TwentyDevicesPluggedAtOnceAllReachWaitingWithTheirReportsInOrder)
{
    constexpr int PORTS = 20;
    EngineEnvironment& environment = EngineEnvironment::instance();
    Engine engine(PORTS, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::string error;
    for (int port = 0; port < PORTS; ++port) {
        const std::string folder = environment.makeDevice("port" + std::to_string(port));
        ASSERT_EQ(engine.hub().plug(port, folder, &error), 0) << error;
    }
    for (int port = 0; port < PORTS; ++port) {
        SCOPED_TRACE("port " + std::to_string(port));
        const std::vector<Report> expected = {{UI_SIG_FOUND, port, 0}, {UI_SIG_READY, port, 0}};
        EXPECT_TRUE(engine.ui().waitReports(port, expected)) << ::testing::PrintToString(engine.ui().reports(port));
        EXPECT_TRUE(engine.waitState(port, "StateWait")) << engine.stateOf(port);
    }
}

}  // namespace
