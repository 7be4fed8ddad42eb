// A simulated device taken through the engine's roads, from plug-in to
// waiting and through every request of the window; each road one row.
#include <thread>

#include <optional>

#include "DeviceTable.h"
#include "EngineHarness.h"
#include "platform/taval/OpLog.h"

namespace {

using namespace engine_test;
using Tessor::taval::OpKind;

// An operation of the simulated device with its first argument.
using Op = std::pair<OpKind, int64_t>;

enum Action { PLUG, UNPLUG, INJECT_ERROR, REQUEST, START_AT_LEVEL, ANSWER, STATE, REPORTS, OPS, LAST_OPS, COMMANDS, IDLE };

struct Step {
    Action action;
    int value = 0;                  // request signal, error code, answering flag, scan level
    std::string state = {};         // STATE
    std::vector<Report> reports = {};  // REPORTS: every report of the port so far
    std::vector<Op> ops = {};       // OPS: the device's operations so far; LAST_OPS: its latest ones
    std::vector<int> commands = {};  // COMMANDS: every command for the port so far
};

struct Road {
    const char* name;
    _FUNCTION_T function;
    Keys device;
    std::vector<Step> steps;
    const char* chipSet = "6716";  // of the station
    // The units of a configuration table written on the device's flash first.
    std::optional<std::vector<TableLun>> table = std::nullopt;
};

void PrintTo(const Road& road, std::ostream* out) { *out << road.name; }

Report r(UiSignalType signal, int code = 0) { return {signal, 0, code}; }

const std::vector<Report> READY_REPORTS = {r(UI_SIG_FOUND), r(UI_SIG_READY)};

std::vector<Report> readyThen(std::vector<Report> more)
{
    std::vector<Report> all = READY_REPORTS;
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

// Chips 0..3 answer the flash id, then volume operation 4 follows it.
const std::vector<Op> INIT_OPS = {{OpKind::ReadVersion, 0}, {OpKind::TableToRam, 0}, {OpKind::CodeDownload, 0},
                                  {OpKind::FlashId, 0},     {OpKind::FlashId, 1},    {OpKind::FlashId, 2},
                                  {OpKind::FlashId, 3},     {OpKind::Volume, 4}};

const Step TO_WAIT[] = {{PLUG}, {REPORTS, 0, "", READY_REPORTS}, {STATE, 0, "StateWait"}};

std::vector<Step> waitingThen(std::vector<Step> more)
{
    std::vector<Step> all(std::begin(TO_WAIT), std::end(TO_WAIT));
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

const Road ROADS[] = {
    {"PlugInToWaiting", FUNCTION_FACTORY, {{"Device.Chips", "4"}, {"Device.FlashId", "ADD7949A"}},
     waitingThen({{OPS, 0, "", {}, INIT_OPS}, {COMMANDS, 0, "", {}, {}, {HW_CMD_AFTER_PLUG_IN}}})},
    {"VersionOfAnotherVariant", FUNCTION_FACTORY, {{"Device.Variant", "6726"}},
     {{PLUG}, {REPORTS, 0, "", {r(UI_SIG_FOUND), r(UI_SIG_STATUS, 0x803C)}}, {STATE, 0, "StateError"}}},
    {"UnknownFlashId", FUNCTION_FACTORY, {{"Device.FlashId", "ECDA1095"}},
     {{PLUG}, {REPORTS, 0, "", {r(UI_SIG_FOUND), r(UI_SIG_STATUS, 0x8006)}}, {STATE, 0, "StateError"}}},
    // The controller refuses a table whose checksum no longer holds.
    {"TableChangedOnItsWayToRam", FUNCTION_FACTORY, {{"Faults.TableToRamChangedByte", "200"}},
     {{PLUG}, {REPORTS, 0, "", {r(UI_SIG_FOUND), r(UI_SIG_STATUS, 0x8004)}}, {STATE, 0, "StateError"}}},
    {"ReadVersionFails", FUNCTION_FACTORY, {{"Faults.FailReadVersion", "always"}},
     {{PLUG}, {REPORTS, 0, "", {r(UI_SIG_FOUND), r(UI_SIG_STATUS, 0x802C)}}, {STATE, 0, "StateError"}}},
    {"UserFunctionWithoutTable", FUNCTION_USER, {},
     {{PLUG}, {REPORTS, 0, "", {r(UI_SIG_FOUND), r(UI_SIG_STATUS, 0x803B)}}, {STATE, 0, "StateError"}}},
    // An untabled 6605 that answers other than its ROM's ".?0p".
    {"UnsupportedFirmware", FUNCTION_FACTORY, {{"Device.Variant", "6605"}, {"Device.Firmware", "6.00"}},
     {{PLUG}, {REPORTS, 0, "", {r(UI_SIG_FOUND), r(UI_SIG_STATUS, 0x803A)}}, {STATE, 0, "StateError"}},
     "6605"},
    // Scanned, then waiting for the low format.
    {"LoginWithoutHiddenLun", FUNCTION_LOGIN, {},
     {{PLUG}, {REPORTS, 0, "", {r(UI_SIG_FOUND), r(UI_SIG_STATUS, 0x803D)}}, {STATE, 0, "StateError"}},
     "6716", std::vector<TableLun>{}},
    {"LoginWithProtectedLun", FUNCTION_LOGIN, {}, waitingThen({}), "6716",
     std::vector<TableLun>{{3000, false, false}, {1000, false, true}}},
    // The station's settings ask for more than the device's table holds.
    {"UserStartTheTableCannotHold", FUNCTION_USER, {},
     waitingThen({{REQUEST, UI_SIG_START},
                  {REPORTS, 0, "", readyThen({r(UI_SIG_STATUS, 0x8020)})},
                  {STATE, 0, "StateError"}}),
     "6716", std::vector<TableLun>{}},
    // Block mode groups the test device's 64 blocks of four planes into 16,
    // too few for the index tables of a block set: after the scan the low
    // format cannot cut its block sets. The failure is answered with an
    // eject, as the window does.
    {"ReadyIsAnsweredWithStart", FUNCTION_FACTORY, {},
     {{ANSWER, 1},
      {PLUG},
      {REPORTS, 0, "", readyThen({r(UI_SIG_STATUS, 0x8021), r(UI_SIG_PLUGGED_OFF)})},
      {STATE, 0, "StateUnplug"}}},
    {"LowFormatOfTooSmallAFlash", FUNCTION_FACTORY, {},
     waitingThen({{REQUEST, UI_SIG_START},
                  {STATE, 0, "StateError"},
                  {REPORTS, 0, "", readyThen({r(UI_SIG_STATUS, 0x8021)})}})},
    // 32 GiB: the sector bitmap cannot map the flash, which the scan reports.
    {"FlashTheSectorBitmapCannotMap", FUNCTION_FACTORY,
     {{"Device.Chips", "4"}, {"Device.FlashId", "EC7C1095"}, {"Device.BlocksPerChip", "32768"},
      {"Device.PagesPerBlock", "128"}},
     waitingThen({{REQUEST, UI_SIG_START},
                  {STATE, 0, "StateError"},
                  {REPORTS, 0, "", readyThen({r(UI_SIG_STATUS, 0x8026)})}})},
    // Scan level 2 saves the bitmaps and formats nothing.
    {"ScanOnlyEndsBuilt", FUNCTION_FACTORY, {},
     waitingThen({{START_AT_LEVEL, 2},
                  {STATE, 0, "StateBuildOk"},
                  {REPORTS, 0, "", readyThen({r(UI_SIG_BUILD_OK)})}})},
    {"EjectWhileWaiting", FUNCTION_FACTORY, {},
     waitingThen({{REQUEST, UI_SIG_EJECT},
                  {REPORTS, 0, "", readyThen({r(UI_SIG_PLUGGED_OFF)})},
                  {STATE, 0, "StateUnplug"},
                  {LAST_OPS, 0, "", {}, {{OpKind::EjectCommand, 0}, {OpKind::EjectOutcome, 0}}},
                  {COMMANDS, 0, "", {}, {}, {HW_CMD_AFTER_PLUG_IN, HW_CMD_CLOSE_DEVICE}}})},
    // Answered as the default handling does: the refused eject is reported
    // once and not tried again.
    {"EjectRefused", FUNCTION_FACTORY, {{"Faults.FailEjectCommand", "always"}},
     waitingThen({{ANSWER, 1},
                  {REQUEST, UI_SIG_EJECT},
                  {REPORTS, 0, "", readyThen({r(UI_SIG_STATUS, 0x8027)})},
                  {STATE, 0, "StateError"},
                  {IDLE},
                  {REPORTS, 0, "", readyThen({r(UI_SIG_STATUS, 0x8027)})}})},
    {"EjectFailureEvent", FUNCTION_FACTORY, {{"Faults.FailEjectOutcome", "1"}},
     waitingThen({{REQUEST, UI_SIG_EJECT},
                  {REPORTS, 0, "", readyThen({r(UI_SIG_STATUS, 0x8027)})},
                  {STATE, 0, "StateEject"}})},
    {"RemovalThenReleaseThenPlugInAgain", FUNCTION_FACTORY, {},
     waitingThen({{UNPLUG},
                  {REPORTS, 0, "", readyThen({r(UI_SIG_PLUGGED_OFF)})},
                  {IDLE},
                  {STATE, 0, "StateWait"},
                  {REQUEST, UI_SIG_RELEASED},
                  {STATE, 0, "StateUnplug"},
                  {COMMANDS, 0, "", {}, {}, {HW_CMD_AFTER_PLUG_IN, HW_CMD_CLOSE_DEVICE}},
                  {PLUG},
                  {REPORTS, 0, "", readyThen({r(UI_SIG_PLUGGED_OFF), r(UI_SIG_FOUND), r(UI_SIG_READY)})},
                  {STATE, 0, "StateWait"}})},
    // Pulled out while it is being read: the start fails on the gone
    // device, the removal is reported after it, and the release still
    // closes the device.
    {"RemovalWhileStarting", FUNCTION_FACTORY, {{"Faults.RemoveAfter", "1"}},
     {{PLUG},
      {REPORTS, 0, "", {r(UI_SIG_FOUND), r(UI_SIG_STATUS, 0x8004), r(UI_SIG_PLUGGED_OFF)}},
      {STATE, 0, "StateError"},
      {REQUEST, UI_SIG_RELEASED},
      {STATE, 0, "StateUnplug"},
      {COMMANDS, 0, "", {}, {}, {HW_CMD_AFTER_PLUG_IN, HW_CMD_CLOSE_DEVICE}}}},
    {"LibraryErrorEvent", FUNCTION_FACTORY, {},
     waitingThen({{INJECT_ERROR, 5},
                  {REPORTS, 0, "", readyThen({r(UI_SIG_STATUS, 0x805)})},
                  {STATE, 0, "StateError"}})},
};

std::vector<Op> opsOf(const std::vector<Tessor::taval::OpRecord>& log)
{
    std::vector<Op> ops;
    for (const Tessor::taval::OpRecord& op : log) {
        ops.push_back({op.kind, op.args[0]});
    }
    return ops;
}

class EngineRoadTest : public ::testing::TestWithParam<Road> {};

TEST_P(EngineRoadTest, FollowsItsRoad)
{
    const Road& road = GetParam();
    EngineEnvironment& environment = EngineEnvironment::instance();
    const std::string folder = environment.makeDevice(road.name, road.device);
    std::string error;
    if (road.table) {
        ASSERT_TRUE(writeDeviceTable(folder, *road.table, &error)) << error;
    }
    UsbConfiguration::instance()->setChipSet(road.chipSet);
    Engine engine(2, road.function);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    int stepNo = 0;
    for (const Step& step : road.steps) {
        SCOPED_TRACE("step " + std::to_string(stepNo++));
        switch (step.action) {
        case PLUG:
            ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
            break;
        case UNPLUG:
            ASSERT_EQ(engine.hub().unplug(0), 0);
            break;
        case INJECT_ERROR:
            ASSERT_EQ(engine.hub().injectError(0, step.value), 0);
            break;
        case REQUEST:
            engine.request(0, static_cast<UiSignalType>(step.value));
            break;
        case START_AT_LEVEL:
            engine.request(0, UI_SIG_START, step.value);
            break;
        case ANSWER:
            engine.ui().setAnswering(step.value != 0);
            break;
        case STATE:
            EXPECT_TRUE(engine.waitState(0, step.state)) << "in " << engine.stateOf(0);
            break;
        case REPORTS:
            EXPECT_TRUE(engine.ui().waitReports(0, step.reports))
                << ::testing::PrintToString(engine.ui().reports(0));
            break;
        case OPS:
            EXPECT_EQ(opsOf(engine.hub().device(0)->opLog()), step.ops);
            break;
        case LAST_OPS: {
            const std::vector<Op> ops = opsOf(engine.hub().device(0)->opLog());
            ASSERT_GE(ops.size(), step.ops.size());
            EXPECT_EQ(std::vector<Op>(ops.end() - static_cast<std::ptrdiff_t>(step.ops.size()), ops.end()), step.ops);
            break;
        }
        case COMMANDS:
            EXPECT_TRUE(CommandLog::instance().waitCommands(0, step.commands))
                << ::testing::PrintToString(CommandLog::instance().commands(0));
            break;
        case IDLE:
            ASSERT_TRUE(engine.waitSlotIdle(0));
            ASSERT_TRUE(engine.waitUiIdle());
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Roads, EngineRoadTest, ::testing::ValuesIn(ROADS),
                         [](const ::testing::TestParamInfo<Road>& road) { return std::string(road.param.name); });

}  // namespace
