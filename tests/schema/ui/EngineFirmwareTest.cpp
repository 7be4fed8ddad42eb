// The firmware a simulated controller runs along the station road: every
// piece it takes holds its seal; the scan and USB-disk images run in mode 0
// and serve no logical disk, the image of the high format runs in mode 1. A
// piece that arrives changed breaks its seal, and the controller refuses it.
#include <gtest/gtest.h>

#include "EngineHarness.h"
#include "platform/taval/OpLog.h"

namespace {

using namespace engine_test;
using Tessor::taval::OpKind;

constexpr int CODE_DOWNLOAD_FAILED = 0x8005;

// A controller variant and where its road ends.
struct Variant {
    const char* name;
    bool built;  // else the low format fails it: chip set 1 has no page for its table
};

std::ostream& operator<<(std::ostream& out, const Variant& v) { return out << v.name; }

class EngineFirmware : public ::testing::TestWithParam<Variant> {};

// Plug, scan, low format and high format of a 1 Gbit device; the 6605's
// pieces carry no seal.
TEST_P(EngineFirmware, ImagesRunInModeZeroAndTheHighFormatsInModeOne)
{
    const Variant& variant = GetParam();
    const Keys keys = {{"Device.Variant", variant.name}, {"Device.FlashId", "ECD35195"},
                       {"Device.BlocksPerChip", "1024"}, {"Device.PagesPerBlock", "64"}};
    const std::string folder = EngineEnvironment::instance().makeDevice(std::string("Firmware") + variant.name, keys);
    UsbConfiguration::instance()->setChipSet(variant.name);
    Engine engine(1, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
    ASSERT_TRUE(engine.waitState(0, "StateWait")) << engine.stateOf(0);
    const auto device = engine.hub().device(0);
    EXPECT_EQ(device->firmwareModes(), std::vector<int>{0});
    // The scan image serves no logical disk; the high format's does.
    std::vector<uint8_t> sector(512);
    int length = 0;
    EXPECT_FALSE(device->readLogical(0, 1, sector.data(), 512, &length));

    engine.request(0, UI_SIG_START);
    const std::string ended = engine.waitRunEnded(0);
    for (const Tessor::taval::OpRecord& op : device->opLog()) {
        EXPECT_TRUE(op.kind != OpKind::CodeDownload || op.ok) << "mode " << op.args[0];
    }
    if (!variant.built) {
        EXPECT_EQ(ended, "StateError");
        EXPECT_TRUE(engine.ui().waitReports(0, {{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}, {UI_SIG_STATUS, 0, 0x8021}}))
            << ::testing::PrintToString(engine.ui().reports(0));
        EXPECT_EQ(device->firmwareModes(), std::vector<int>{0});
        return;
    }
    EXPECT_EQ(ended, "StateBuildOk");
    EXPECT_EQ(device->firmwareModes(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(device->readLogical(0, 1, sector.data(), 512, &length));
}

INSTANTIATE_TEST_SUITE_P(Variants, EngineFirmware,
                         ::testing::Values(Variant{"6706", false}, Variant{"6716", true}, Variant{"6716V31", true},
                                           Variant{"6716V32", true}, Variant{"6726", true}, Variant{"6605", true}),
                         [](const ::testing::TestParamInfo<Variant>& test) { return std::string(test.param.name); });

// The scan image that arrives changed is refused at plug-in.
TEST(EngineFirmwareSeal, PieceWithABrokenSealFailsTheDevice)
{
    const std::string folder = EngineEnvironment::instance().makeDevice("BrokenSeal", {{"Faults.CodeChangedByte", "100"}});
    UsbConfiguration::instance()->setChipSet("6716");
    Engine engine(1, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
    EXPECT_TRUE(engine.ui().waitReports(0, {{UI_SIG_FOUND, 0, 0}, {UI_SIG_STATUS, 0, CODE_DOWNLOAD_FAILED}}))
        << ::testing::PrintToString(engine.ui().reports(0));
    ASSERT_TRUE(engine.waitState(0, "StateError")) << engine.stateOf(0);
    const auto device = engine.hub().device(0);
    EXPECT_TRUE(device->firmwareModes().empty());
    EXPECT_TRUE(device->ramCode().empty());
}

}  // namespace
