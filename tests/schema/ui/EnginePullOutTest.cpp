// Devices pulled out in the middle of each state of the production road while
// another port's device goes through the whole road: each pulled device is
// reported and released, and can be plugged in again; the other finishes.
#include <array>
#include <atomic>

#include "EngineHarness.h"

namespace {

using namespace engine_test;

// A 256-block flash: small, yet large enough for the block sets and the
// partitions once they are fitted to its capacity.
Keys roadDevice()
{
    return {{"Device.FlashId", G1_FLASH_ID}, {"Device.BlocksPerChip", "256"}, {"Device.PagesPerBlock", "64"}};
}

TEST(EnginePullOutTest, DevicePulledOutInEachStateIsReleasedWhileAnotherFinishes)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    UsbConfiguration::instance()->setChipSet("6716");

    // Port 3 runs the whole road; the others are pulled out about halfway
    // through their state (of some 180, 34 and 11 operations), the high
    // format's between writing and reading back a file system.
    struct Pull {
        std::string state;
        int atOperation;
    };
    const std::array<Pull, 3> pulls = {{{"StateScan", 90}, {"StateLowFormat", 17}, {"StateHighFormat", 5}}};
    constexpr int PORTS = 4;
    Engine engine(PORTS, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::array<std::atomic<int>, PORTS> opsInState{};
    std::array<std::string, PORTS> folders;
    for (int port = 0; port < PORTS; ++port) {
        folders[size_t(port)] = environment.makeDevice("pull" + std::to_string(port), roadDevice());
        std::string error;
        ASSERT_EQ(engine.hub().plug(port, folders[size_t(port)], &error), 0) << error;
        ASSERT_TRUE(engine.waitState(port, "StateWait")) << engine.stateOf(port);
    }
    // On the device's own thread, which alone changes its state.
    engine.hub().setOperationHook([&](int port) {
        if (port >= int(pulls.size()) || engine.stateOf(port) != pulls[size_t(port)].state ||
            opsInState[size_t(port)] == pulls[size_t(port)].atOperation) {
            return false;
        }
        return ++opsInState[size_t(port)] == pulls[size_t(port)].atOperation;
    });
    for (int port = 0; port < PORTS; ++port) {
        ASSERT_TRUE(engine.startFitted(port));
    }

    EXPECT_TRUE(engine.waitState(3, "StateBuildOk")) << "in " << engine.stateOf(3);
    EXPECT_TRUE(engine.ui().waitReports(3, {{UI_SIG_FOUND, 3, 0}, {UI_SIG_READY, 3, 0}, {UI_SIG_BUILD_OK, 3, 0}}))
        << ::testing::PrintToString(engine.ui().reports(3));
    for (int port = 0; port < int(pulls.size()); ++port) {
        SCOPED_TRACE("pulled in " + pulls[size_t(port)].state);
        const auto pluggedOff = [&] {
            const std::vector<Report> got = engine.ui().reports(port);
            return !got.empty() && got.back().signal == UI_SIG_PLUGGED_OFF;
        };
        const auto end = std::chrono::steady_clock::now() + WAIT_LIMIT;
        while (!pluggedOff() && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const std::vector<Report> reports = engine.ui().reports(port);
        EXPECT_EQ(opsInState[size_t(port)].load(), pulls[size_t(port)].atOperation);
        ASSERT_TRUE(pluggedOff()) << ::testing::PrintToString(reports);
        // The failed operation may be reported first; nothing is built.
        ASSERT_GE(reports.size(), 3u);
        EXPECT_EQ(std::vector<Report>(reports.begin(), reports.begin() + 2),
                  (std::vector<Report>{{UI_SIG_FOUND, port, 0}, {UI_SIG_READY, port, 0}}));
        for (size_t i = 2; i + 1 < reports.size(); ++i) {
            EXPECT_EQ(reports[i].signal, UI_SIG_STATUS) << ::testing::PrintToString(reports);
            EXPECT_NE(reports[i].code, 0);
        }
        engine.request(port, UI_SIG_RELEASED);
        EXPECT_TRUE(engine.waitState(port, "StateUnplug")) << "in " << engine.stateOf(port);
        EXPECT_TRUE(CommandLog::instance().waitCommands(port, {HW_CMD_AFTER_PLUG_IN, HW_CMD_CLOSE_DEVICE}))
            << ::testing::PrintToString(CommandLog::instance().commands(port));
        // Released: the same device is found again on its port.
        std::string error;
        ASSERT_EQ(engine.hub().plug(port, folders[size_t(port)], &error), 0) << error;
        EXPECT_TRUE(engine.waitState(port, "StateWait")) << "in " << engine.stateOf(port);
    }
    engine.hub().setOperationHook(nullptr);
}

}  // namespace
