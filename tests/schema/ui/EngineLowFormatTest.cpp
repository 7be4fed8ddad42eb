// A 1 Gbit simulated device taken from plug-in through the scan and the
// low-level format, per controller variant: it ends the low format without
// an error and waits for the high-level format; its flash, read on its own,
// holds a valid table in every copy and the index tables, it was never
// programmed twice between erases, and it boots from a table after a re-plug.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "EngineHarness.h"
#include "support/CodeTree.h"
#include "support/SystemAreaReader.h"
#include "usb/cfg/CodeFactory.h"

namespace {

using namespace engine_test;

struct Part {
    const char* chipSet;
    int copies;
    Keys flash = {{"Device.FlashId", "ECD35195"}, {"Device.BlocksPerChip", "1024"}, {"Device.PagesPerBlock", "64"}};
};

void PrintTo(const Part& part, std::ostream* out) { *out << part.chipSet; }

class EngineLowFormat : public ::testing::TestWithParam<Part> {};

TEST_P(EngineLowFormat, ScannedDeviceIsLowFormattedAndBootsFromItsTable)
{
    const Part& part = GetParam();
    EngineEnvironment& environment = EngineEnvironment::instance();
    Keys keys = part.flash;
    keys.insert({{"Device.Variant", part.chipSet}, {"Device.StrictProgram", "1"}});
    const std::string folder = environment.makeDevice(std::string("LowFormat") + part.chipSet + std::to_string(part.copies), keys);
    UsbConfiguration* config = UsbConfiguration::instance();
    config->setChipSet(part.chipSet);
    config->setCfgTableCount(part.copies);
    config->addScanCodeImage(part.chipSet, "releases/code/scan_6716.img");
    config->addUdiskCodeImage(part.chipSet, "releases/code/udisk_6716.img");
    // The station's working folder holds the firmware images.
    const std::filesystem::path station = environment.folder() + "/station";
    code_test::makeTree(station);
    struct Back {
        std::filesystem::path to;
        ~Back() { std::filesystem::current_path(to); }
    } back{std::filesystem::current_path()};
    std::filesystem::current_path(station);
    Engine engine(2, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    ASSERT_NE(Tessor::usb::CodeFactory::instance(), nullptr);
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
    ASSERT_TRUE(engine.waitState(0, "StateWait")) << engine.stateOf(0);
    // Scan priority 1 keeps the device in the single-plane layout, where the
    // flag table and the page bitmap are written too.
    engine.request(0, UI_SIG_START, -1, 1);
    // The high format follows at once and may already have ended; the low
    // format is done once the device has left it, and a failure from there on
    // is the high format's.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::string state = engine.stateOf(0);
    while (state == "StateWait" || state == "StateScan" || state == "StateLowFormat") {
        ASSERT_LT(std::chrono::steady_clock::now(), end) << state;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        state = engine.stateOf(0);
    }
    std::vector<Report> reports = engine.ui().reports(0);
    while (state == "StateError" && reports.size() < 3) {
        ASSERT_LT(std::chrono::steady_clock::now(), end);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        reports = engine.ui().reports(0);
    }
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(std::vector<Report>(reports.begin(), reports.begin() + 2),
              (std::vector<Report>{{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}}));
    const std::vector<int> lowFormatCodes = {0x8009, 0x800A, 0x8011, 0x8020, 0x8021, 0x802A,
                                             0x802B, 0x8040, 0x8041, 0x8043};
    for (size_t i = 2; i < reports.size(); ++i) {
        EXPECT_EQ(std::count(lowFormatCodes.begin(), lowFormatCodes.end(), reports[i].code), 0)
            << ::testing::PrintToString(reports);
    }

    // The flash read on its own, by the layouts alone.
    const system_area::SystemArea area = system_area::read(folder);
    ASSERT_EQ(area.error, "");
    EXPECT_EQ(area.problems, std::vector<std::string>{});
    ASSERT_EQ(area.copies.size(), size_t(part.copies));
    const dpf_test::Bytes code = code_test::flashCode(std::string(part.chipSet) == "6605");
    const Tessor::taval::Geometry& g = engine.hub().device(0)->description().geometry;
    std::vector<int64_t> tables;
    for (const system_area::Copy& copy : area.copies) {
        SCOPED_TRACE("copy at page " + std::to_string(copy.tablePage));
        ASSERT_GE(copy.code.size(), code.size());
        EXPECT_TRUE(std::equal(code.begin(), code.end(), copy.code.begin()));
        EXPECT_EQ(copy.buildRecord.totalCapacity, uint32_t(g.totalSectors()));
        EXPECT_GT(copy.buildRecord.realCapacity, 0u);
        EXPECT_FALSE(copy.pageBitmap.empty());
        tables.push_back(copy.tablePage * g.sectorsPerPage);
    }
    ASSERT_FALSE(area.indexTables.empty());
    EXPECT_EQ(area.indexTables[0].set, 0);
    EXPECT_FALSE(area.indexTables[0].dataBlocks.empty());

    ASSERT_EQ(engine.hub().unplug(0), 0);
    ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
    const int64_t boot = engine.hub().device(0)->bootSector();
    EXPECT_NE(std::find(tables.begin(), tables.end(), boot), tables.end()) << boot;
}

// Chip set 3 (firmware 3.00), chip set 4 (3.10, index pointer), chip set 7
// (6.00) with two copies, and chip set 3 on a triple-level-cell part whose
// copies repeat the table on partner pages.
INSTANTIATE_TEST_SUITE_P(Variants, EngineLowFormat,
                         ::testing::Values(Part{"6716", 1}, Part{"6716V31", 1}, Part{"6605", 2},
                                           Part{"6716", 2,
                                                {{"Device.FlashId", "98DE9482"},
                                                 {"Device.BlocksPerChip", "2048"},
                                                 {"Device.RealBlocksPerChip", "1300"},
                                                 {"Device.PagesPerBlock", "256"},
                                                 {"Device.RealPagesPerBlock", "192"},
                                                 {"Device.SectorsPerPage", "8"}}}));

}  // namespace
