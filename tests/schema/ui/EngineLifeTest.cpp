// The engine's start and end: a device library that does not start, and
// reports that come once the shutdown has begun.
#include <cstdlib>
#include <memory>

#include "EngineHarness.h"

namespace {

using namespace engine_test;

TEST(EngineLifeTest, ADeviceLibraryThatDoesNotStartGivesAFailure)
{
    EngineEnvironment::instance();
    // The library refuses a station without ports with its code -2, which
    // start-up reports 2048 lower.
    Engine engine(0, FUNCTION_FACTORY);
    EXPECT_EQ(engine.initResult(), -2 - 2048);
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
    ASSERT_TRUE(engine.waitSlotIdle(0));
    ASSERT_TRUE(engine.waitUiIdle());
    EXPECT_EQ(engine.ui().reports(0), (std::vector<Report>{{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}}));
}

TEST(EngineLifeTest, LibraryEventsForNoSlotAreIgnoredAndReleased)
{
    EngineEnvironment::instance();
    Engine engine(1, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::unique_ptr<_USB_DEVICE_T> unbound(new _USB_DEVICE_T());
    unbound->slotIndex = -1;
    struct Case {
        int kind;
        _USB_DEVICE_T* device;
    };
    for (const Case& c : {Case{HW_EVT_REMOVED, nullptr}, Case{HW_EVT_PLUG_IN, unbound.get()}}) {
        // Handed over as the library hands its records: the callback frees it.
        DEVICE_EVENT_T* event = static_cast<DEVICE_EVENT_T*>(std::malloc(sizeof(DEVICE_EVENT_T)));
        *event = {c.kind, 0, 0, c.device};
        EXPECT_EQ(UsbDeviceMgr::_callerReceiveEvent(engine.deviceInit(), event), 0);
    }
    ASSERT_TRUE(engine.waitSlotIdle(0));
    ASSERT_TRUE(engine.waitUiIdle());
    EXPECT_TRUE(engine.ui().reports(0).empty());
    EXPECT_EQ(engine.stateOf(0), "StateUnplug");
}

}  // namespace
