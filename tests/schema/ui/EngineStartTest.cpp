// A start request in every state of a device whose identification failed:
// taken and refused where the state lists the start operator, ignored
// elsewhere, never a crash.
#include "EngineHarness.h"
#include "schema/state/DeviceStateType.h"

namespace {

using namespace engine_test;

struct Failure {
    const char* name;
    Keys device;
    int code;
};

const Failure FAILURES[] = {
    {"UnknownFlash", {{"Device.FlashId", "ECDA1095"}}, 0x8006},
    {"ReadVersionFails", {{"Faults.FailReadVersion", "always"}}, 0x802C},
    {"OtherVariant", {{"Device.Variant", "6726"}}, 0x803C},
    {"TableDownloadFails", {{"Faults.FailTableToRam", "always"}}, 0x8004},
    {"CodeDownloadFails", {{"Faults.FailCodeDownload", "always"}}, 0x8005},
};

constexpr int NOT_IDENTIFIED = 0x8007;

bool takesStart(int state) { return state == STATE_WAIT || state == STATE_BUILD_OK || state == STATE_ERROR; }

TEST(EngineStartTest, StartInEveryStateAfterEveryIdentificationFailure)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    Engine engine(1, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::vector<Report> expected;
    for (const Failure& failure : FAILURES) {
        SCOPED_TRACE(failure.name);
        const std::string folder = environment.makeDevice(std::string("start-") + failure.name, failure.device);
        std::string error;
        ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
        expected.push_back({UI_SIG_FOUND, 0, 0});
        expected.push_back({UI_SIG_STATUS, 0, failure.code});
        ASSERT_TRUE(engine.ui().waitReports(0, expected)) << ::testing::PrintToString(engine.ui().reports(0));
        ASSERT_TRUE(engine.waitState(0, "StateError"));
        UsbDevice* slot = engine.slot(0);
        for (int state = STATE_UNPLUG; state <= STATE_ERROR; ++state) {
            SCOPED_TRACE("state " + std::to_string(state));
            ASSERT_TRUE(engine.waitSlotIdle(0));
            const Sptr<BaseState> before = slot->findState(state);
            slot->setState(before);
            engine.request(0, UI_SIG_START);
            if (takesStart(state)) {
                expected.push_back({UI_SIG_STATUS, 0, NOT_IDENTIFIED});
                EXPECT_TRUE(engine.waitState(0, "StateError")) << engine.stateOf(0);
            } else {
                ASSERT_TRUE(engine.waitSlotIdle(0));
                EXPECT_EQ(engine.stateOf(0), before->getName());
            }
            EXPECT_TRUE(engine.ui().waitReports(0, expected)) << ::testing::PrintToString(engine.ui().reports(0));
        }
        ASSERT_TRUE(engine.waitSlotIdle(0));
        slot->setState(slot->findState(STATE_ERROR));
        ASSERT_EQ(engine.hub().unplug(0), 0);
        expected.push_back({UI_SIG_PLUGGED_OFF, 0, 0});
        ASSERT_TRUE(engine.ui().waitReports(0, expected)) << ::testing::PrintToString(engine.ui().reports(0));
        engine.request(0, UI_SIG_RELEASED);
        ASSERT_TRUE(engine.waitState(0, "StateUnplug"));
    }
}

}  // namespace
