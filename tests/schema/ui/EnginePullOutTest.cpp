// Devices pulled out, or ejected by the operator, in the middle of each state
// of the production road while another port's device goes through the whole
// road: each pulled device is reported and released, and can be plugged in
// again; the other finishes.
#include <array>
#include <atomic>

#include "EngineHarness.h"
#include "support/Waits.h"

namespace {

using namespace engine_test;

// A 256-block flash: small, yet large enough for the block sets and the
// partitions once they are fitted to its capacity.
Keys roadDevice()
{
    return {{"Device.FlashId", G1_FLASH_ID}, {"Device.BlocksPerChip", "256"}, {"Device.PagesPerBlock", "64"}};
}

// Starts every port; the last one's device goes through the whole road.
void startAllAndSeeLastBuilt(Engine& engine, int ports)
{
    for (int port = 0; port < ports; ++port) {
        ASSERT_TRUE(engine.startFitted(port));
    }
    const int last = ports - 1;
    EXPECT_TRUE(engine.waitState(last, "StateBuildOk")) << "in " << engine.stateOf(last);
    EXPECT_TRUE(
        engine.ui().waitReports(last, {{UI_SIG_FOUND, last, 0}, {UI_SIG_READY, last, 0}, {UI_SIG_BUILD_OK, last, 0}}))
        << ::testing::PrintToString(engine.ui().reports(last));
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
    startAllAndSeeLastBuilt(engine, PORTS);
    for (int port = 0; port < int(pulls.size()); ++port) {
        SCOPED_TRACE("pulled in " + pulls[size_t(port)].state);
        const auto pluggedOff = [&] {
            const std::vector<Report> got = engine.ui().reports(port);
            return !got.empty() && got.back().signal == UI_SIG_PLUGGED_OFF;
        };
        const bool off = test_support::waitUntil(pluggedOff, WAIT_LIMIT);
        const std::vector<Report> reports = engine.ui().reports(port);
        EXPECT_EQ(opsInState[size_t(port)].load(), pulls[size_t(port)].atOperation);
        ASSERT_TRUE(off) << ::testing::PrintToString(reports);
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

// A device plugged into the port while its slot still holds the one pulled
// out waits until the window lets that one go, and is then found: the slot
// closes the first device before it takes the second.
TEST(EnginePullOutTest, ADevicePluggedBeforeThePreviousIsReleasedWaitsForTheRelease)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    UsbConfiguration::instance()->setChipSet("6716");
    Engine engine(1, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, environment.makeDevice("heldFirst", roadDevice()), &error), 0) << error;
    ASSERT_TRUE(engine.waitState(0, "StateWait")) << engine.stateOf(0);
    ASSERT_EQ(engine.hub().unplug(0), 0);
    ASSERT_TRUE(engine.ui().waitLastReport(0, {UI_SIG_PLUGGED_OFF, 0, 0}));
    ASSERT_EQ(engine.hub().plug(0, environment.makeDevice("heldSecond", roadDevice()), &error), 0) << error;
    engine.hub().waitEventsDelivered();
    engine.request(0, UI_SIG_RELEASED);
    EXPECT_TRUE(CommandLog::instance().waitCommands(0, {HW_CMD_AFTER_PLUG_IN, HW_CMD_CLOSE_DEVICE, HW_CMD_AFTER_PLUG_IN}))
        << ::testing::PrintToString(CommandLog::instance().commands(0));
    EXPECT_TRUE(engine.waitState(0, "StateWait")) << engine.stateOf(0);
    EXPECT_TRUE(engine.ui().waitReports(0, {{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}, {UI_SIG_PLUGGED_OFF, 0, 0},
                                            {UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}}))
        << ::testing::PrintToString(engine.ui().reports(0));
}

// The window's answer to a device already pulled out and released reaches
// the device plugged after it in the same slot: a start for the first one is
// dropped, the second is not started by it and takes the eject meant for it.
TEST(EnginePullOutTest, ARequestForADeviceNoLongerInItsSlotIsDropped)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    UsbConfiguration::instance()->setChipSet("6716");
    Engine engine(1, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, environment.makeDevice("staleFirst", roadDevice()), &error), 0) << error;
    ASSERT_TRUE(engine.ui().waitReports(0, {{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}}));
    const Sptr<BaseEvent> readyOfFirst = engine.ui().lastReport(0);
    ASSERT_EQ(engine.hub().unplug(0), 0);
    ASSERT_TRUE(engine.ui().waitLastReport(0, {UI_SIG_PLUGGED_OFF, 0, 0}));
    engine.request(0, UI_SIG_RELEASED);
    ASSERT_TRUE(CommandLog::instance().waitCommands(0, {HW_CMD_AFTER_PLUG_IN, HW_CMD_CLOSE_DEVICE}));
    ASSERT_EQ(engine.hub().plug(0, environment.makeDevice("staleSecond", roadDevice()), &error), 0) << error;
    ASSERT_TRUE(engine.waitState(0, "StateWait")) << engine.stateOf(0);
    ASSERT_TRUE(engine.ui().waitLastReport(0, {UI_SIG_READY, 0, 0}));

    engine.request(0, UI_SIG_START, -1, -1, readyOfFirst);
    engine.request(0, UI_SIG_EJECT);
    EXPECT_TRUE(CommandLog::instance().waitCommands(
        0, {HW_CMD_AFTER_PLUG_IN, HW_CMD_CLOSE_DEVICE, HW_CMD_AFTER_PLUG_IN, HW_CMD_CLOSE_DEVICE}))
        << ::testing::PrintToString(CommandLog::instance().commands(0));
    EXPECT_TRUE(engine.waitState(0, "StateUnplug")) << "in " << engine.stateOf(0);
    EXPECT_TRUE(engine.ui().waitReports(0, {{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}, {UI_SIG_PLUGGED_OFF, 0, 0},
                                            {UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}, {UI_SIG_PLUGGED_OFF, 0, 0}}))
        << ::testing::PrintToString(engine.ui().reports(0));
}

// Pulled while it is identified, the device fails that with its code and the
// window answers with an eject, which meets a device already gone: nothing
// is reported of a device after it is gone.
TEST(EnginePullOutTest, NothingIsReportedOfADevicePulledDuringIdentificationOnceItIsGone)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    UsbConfiguration::instance()->setChipSet("6716");
    Engine engine(1, FUNCTION_FACTORY);
    engine.ui().setAnswering(true);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    const std::string folder = environment.makeDevice("identified", roadDevice());
    std::atomic<int> operations{0};
    std::atomic<int> pullAt{0};
    engine.hub().setOperationHook([&](int) { return engine.stateOf(0) == "StateInit" && ++operations == pullAt; });
    size_t before = 0;
    std::vector<int> commands;
    for (int at : {1, 2, 4, 6}) {
        SCOPED_TRACE("pulled at identification operation " + std::to_string(at));
        operations = 0;
        pullAt = at;
        std::string error;
        ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
        // Released by the window's answer to the removal.
        commands.insert(commands.end(), {HW_CMD_AFTER_PLUG_IN, HW_CMD_CLOSE_DEVICE});
        ASSERT_TRUE(CommandLog::instance().waitCommands(0, commands))
            << ::testing::PrintToString(CommandLog::instance().commands(0));
        EXPECT_TRUE(engine.waitState(0, "StateUnplug")) << "in " << engine.stateOf(0);
        ASSERT_TRUE(engine.waitSlotIdle(0));
        ASSERT_TRUE(engine.waitUiIdle());
        const std::vector<Report> all = engine.ui().reports(0);
        const std::vector<Report> reports(all.begin() + long(before), all.end());
        before = all.size();
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reports.front(), (Report{UI_SIG_FOUND, 0, 0})) << ::testing::PrintToString(reports);
        EXPECT_EQ(reports.back(), (Report{UI_SIG_PLUGGED_OFF, 0, 0})) << ::testing::PrintToString(reports);
    }
    engine.hub().setOperationHook(nullptr);
}

TEST(EnginePullOutTest, EjectDuringEachWorkPassEndsAsItsQueueOrderSays)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    UsbConfiguration::instance()->setChipSet("6716");

    // The eject is queued at once and its cancel code set on the spot.
    // Inside the scan loops that code stops the scan, which fails with it,
    // and the failed device takes the queued eject. The low format's pass
    // ends by queueing the high format's work behind the eject, so the high
    // format meets the eject first and does not take it: the device is
    // built and stays plugged. An eject queued during the high format's
    // pass is taken by the built device.
    struct Case {
        std::string state;
        int atOperation;
        std::vector<Report> reports;  // after found and ready
        std::string endState;
    };
    const std::array<Case, 3> cases = {{
        {"StateScan", 90, {{UI_SIG_STATUS, 0, 0x8027}, {UI_SIG_PLUGGED_OFF, 0, 0}}, "StateUnplug"},
        {"StateLowFormat", 17, {{UI_SIG_BUILD_OK, 1, 0}}, "StateBuildOk"},
        {"StateHighFormat", 5, {{UI_SIG_BUILD_OK, 2, 0}, {UI_SIG_PLUGGED_OFF, 2, 0}}, "StateUnplug"},
    }};
    constexpr int PORTS = 4;
    Engine engine(PORTS, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    for (int port = 0; port < PORTS; ++port) {
        std::string error;
        ASSERT_EQ(engine.hub().plug(port, environment.makeDevice("eject" + std::to_string(port), roadDevice()), &error),
                  0)
            << error;
        ASSERT_TRUE(engine.waitState(port, "StateWait")) << engine.stateOf(port);
    }
    std::array<std::atomic<int>, PORTS> opsInState{};
    // On the device's own thread, which alone changes its state.
    engine.hub().setOperationHook([&](int port) {
        if (port < int(cases.size()) && engine.stateOf(port) == cases[size_t(port)].state &&
            ++opsInState[size_t(port)] == cases[size_t(port)].atOperation) {
            engine.request(port, UI_SIG_EJECT);
        }
        return false;
    });
    startAllAndSeeLastBuilt(engine, PORTS);
    for (int port = 0; port < int(cases.size()); ++port) {
        const Case& c = cases[size_t(port)];
        SCOPED_TRACE("eject in " + c.state);
        std::vector<Report> expected = {{UI_SIG_FOUND, port, 0}, {UI_SIG_READY, port, 0}};
        expected.insert(expected.end(), c.reports.begin(), c.reports.end());
        EXPECT_TRUE(engine.ui().waitReports(port, expected)) << ::testing::PrintToString(engine.ui().reports(port));
        EXPECT_TRUE(engine.waitState(port, c.endState)) << "in " << engine.stateOf(port);
        EXPECT_GE(opsInState[size_t(port)].load(), c.atOperation);
    }
    engine.hub().setOperationHook(nullptr);

    // The device whose eject the high format met was never ejected (that
    // eject was taken before the build ended); a new eject lets it go.
    EXPECT_EQ(CommandLog::instance().commands(1), std::vector<int>{HW_CMD_AFTER_PLUG_IN});
    engine.request(1, UI_SIG_EJECT);
    EXPECT_TRUE(engine.waitState(1, "StateUnplug")) << "in " << engine.stateOf(1);
    EXPECT_TRUE(engine.ui().waitReports(
        1, {{UI_SIG_FOUND, 1, 0}, {UI_SIG_READY, 1, 0}, {UI_SIG_BUILD_OK, 1, 0}, {UI_SIG_PLUGGED_OFF, 1, 0}}));
    EXPECT_TRUE(CommandLog::instance().waitCommands(1, {HW_CMD_AFTER_PLUG_IN, HW_CMD_CLOSE_DEVICE}));
}

}  // namespace
