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
#include "platform/taval/ConfigTableSector.h"
#include "support/CodeTree.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cfg/CodeFactory.h"
#include "usb/cmd/IndexTable.h"
#include "usb/cmd/IndexTableSet.h"

namespace {

using namespace engine_test;

struct Part {
    const char* chipSet;
    int copies;
};

void PrintTo(const Part& part, std::ostream* out) { *out << part.chipSet; }

class EngineLowFormat : public ::testing::TestWithParam<Part> {};

TEST_P(EngineLowFormat, ScannedDeviceIsLowFormattedAndBootsFromItsTable)
{
    const Part& part = GetParam();
    EngineEnvironment& environment = EngineEnvironment::instance();
    const Keys keys = {{"Device.Variant", part.chipSet}, {"Device.FlashId", "ECD35195"},
                       {"Device.BlocksPerChip", "1024"}, {"Device.PagesPerBlock", "64"}, {"Device.StrictProgram", "1"}};
    const std::string folder = environment.makeDevice(std::string("LowFormat") + part.chipSet, keys);
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
    engine.request(0, UI_SIG_START);
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

    // The flash read through the simulated device's own reader.
    UsbDevice* device = engine.slot(0);
    Tessor::taval::VirtualDevice& flash = *engine.hub().device(0);
    Sptr<Tessor::usb::AllocatAddress> sets = device->getAllocatAddress();
    ASSERT_EQ(sets->getCount(), part.copies);
    std::vector<int64_t> tables;
    std::vector<uint8_t> sector(512);
    int length = 0;
    for (int i = 0; i < sets->getCount(); ++i) {
        Sptr<Tessor::usb::AllocatAddress> set = sets->getData(i);
        const int64_t at = set->getCfgTableAddress()->getPhyAddress();
        ASSERT_TRUE(flash.readRaw(0, at, 1, sector.data(), 512, &length));
        EXPECT_TRUE(Tessor::taval::isValidTable(sector.data())) << "copy " << i;
        tables.push_back(at);
    }
    const Sptr<Tessor::usb::IndexTable> first = device->getIndexTableSet()->getIndexTable(0);
    ASSERT_TRUE(first);
    for (const Sptr<Tessor::usb::IndexItem>& item : first->getItems()) {
        ASSERT_TRUE(flash.readRaw(0, item->getAddress()->getPhyAddress(), 1, sector.data(), 512, &length));
        EXPECT_EQ(std::memcmp(sector.data(), item->getTable(), 512), 0);
    }

    ASSERT_EQ(engine.hub().unplug(0), 0);
    ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
    const int64_t boot = engine.hub().device(0)->bootSector();
    EXPECT_NE(std::find(tables.begin(), tables.end(), boot), tables.end()) << boot;
}

INSTANTIATE_TEST_SUITE_P(Variants, EngineLowFormat,
                         ::testing::Values(Part{"6716", 1}, Part{"6716V31", 1}, Part{"6605", 2}));

}  // namespace
