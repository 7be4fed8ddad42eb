// Devices taken through the whole road on a window station (scan, low
// format, high format, built) and read back afterwards from their flash:
// each logical unit the table on the flash lists, as an image of its own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/taval/VirtualDevice.h"
#include "shell/DeviceTexts.h"
#include "shell/UiStateTable.h"
#include "shell/Station.h"
#include "support/OutsideTools.h"
#include "support/QtApp.h"

namespace produced_test {

using namespace Tessor;

// The station's controller variant `chipSet`, with `tableCopies` copies of
// the system area when given, for as long as it lives.
class StationChipSet {
public:
    explicit StationChipSet(const std::string& chipSet, int tableCopies = 0)
    {
        engine_test::EngineEnvironment::instance();
        schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
        m_copies = config->getCfgTableCount();
        config->setChipSet(chipSet);
        if (tableCopies > 0) {
            config->setCfgTableCount(tableCopies);
        }
    }
    ~StationChipSet()
    {
        schema::UsbConfiguration::instance()->setChipSet("6716");
        schema::UsbConfiguration::instance()->setCfgTableCount(m_copies);
    }

private:
    int m_copies = 0;
};

// The scan road's 32 MB device (256 blocks of 64 pages of 4 sectors).
inline engine_test::Keys bigDevice(const std::string& variant = "6716")
{
    return {{"Device.Variant", variant}, {"Device.FlashId", engine_test::G1_FLASH_ID},
            {"Device.BlocksPerChip", "256"}, {"Device.PagesPerBlock", "64"}};
}

// Waits until the device of `port` is ready and waits for a start (the
// device reports ready before it takes its waiting state).
inline ::testing::AssertionResult waitReady(bridge_test::EngineStation& station, int port)
{
    if (test_support::waitOnGui([&] {
            return station.record(port).getState() == page::UI_READY && station.engineState(port) == "StateWait";
        })) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "state " << station.record(port).getState() << ", engine "
                                         << station.engineState(port) << ": " << station.record(port).getStatusText();
}

// Waits until the record of `port` has ended the run it started; true when
// the device is built (a built device's record is ready again outside
// factory mode). Failures name the record's last status line.
inline ::testing::AssertionResult waitBuilt(bridge_test::EngineStation& station, int port)
{
    shell::MavikDevice& record = station.record(port);
    // The device reports before it takes its built state.
    const bool ended = test_support::waitOnGui(
        [&] {
            return !record.isBusy() &&
                   (record.getState() == page::UI_FAILED || station.engineState(port) == "StateBuildOk");
        },
        std::chrono::seconds(60));
    const int state = record.getState();
    if (ended && (state == page::UI_BUILT || state == page::UI_READY)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "state " << state << ", engine " << station.engineState(port) << ": "
                                         << record.getStatusText();
}

// Takes the device `name` made with `keys` through the road of a factory
// station, with the run settings `edit` changes, and pulls it; the device's
// folder, or "" when it did not end built.
inline std::string produce(const std::string& name, const engine_test::Keys& keys,
                           const std::function<void(schema::ConfigInfo&)>& edit = {})
{
    bridge_test::Station station(1, schema::FUNCTION_FACTORY);
    station.showPage();
    Sptr<schema::ConfigInfo> settings(new schema::ConfigInfo(station.app().config->getConfigInfo()));
    if (edit) {
        edit(*settings);
    }
    station.ui().distributeConfigInfo(settings);
    station.plug(0, name, keys);
    if (const ::testing::AssertionResult ready = waitReady(station, 0); !ready) {
        ADD_FAILURE() << name << ": " << ready.message();
        return "";
    }
    station.record(0).onUserAction(page::ACTION_START);
    const ::testing::AssertionResult built = waitBuilt(station, 0);
    EXPECT_EQ(station.hub().unplug(0), 0);
    if (!built) {
        ADD_FAILURE() << name << ": " << built.message();
        return "";
    }
    return engine_test::EngineEnvironment::instance().folder() + "/devices/" + name;
}

// A unit image exported from a device's flash.
struct UnitImage {
    std::string path;
    int64_t sectors;
};

// Every unit of the table on the flash of the device in `device`, written
// into `out`; the device must be unplugged.
inline std::vector<UnitImage> exportUnits(const std::string& device, const std::string& out)
{
    std::string error;
    std::shared_ptr<taval::VirtualDevice> opened = taval::VirtualDevice::openForExport(device, &error);
    EXPECT_TRUE(opened) << error;
    std::vector<taval::VirtualDevice::UnitCopy> copies;
    if (opened) {
        EXPECT_TRUE(opened->exportUnits(out, &copies, &error)) << error;
    }
    std::vector<UnitImage> units;
    for (const taval::VirtualDevice::UnitCopy& copy : copies) {
        units.push_back({copy.path, copy.sectors});
    }
    return units;
}

// The label in a unit's boot sector as minfo reads it, its padding blanks
// cut; its bytes as they stand, in whatever code page they were written.
inline std::string volumeLabel(const std::string& image)
{
    const std::string info = test_support::runTool("minfo -i " + image + " ::").output;
    const std::string key = "disk label=\"";
    const size_t at = info.find(key);
    if (at == std::string::npos) {
        return "(none)";
    }
    std::string label = info.substr(at + key.size(), 11);
    label.erase(label.find_last_not_of(' ') + 1);
    return label;
}

// fsck.fat finds nothing wrong with the unit's volume; with `labelCodePage`
// it may only refuse a label of double-byte characters, which it cannot read.
inline void expectSoundVolume(const std::string& image, bool labelCodePage = false)
{
    const test_support::ToolResult fsck = test_support::runTool("fsck.fat -n " + image);
    if (fsck.status == 0) {
        return;
    }
    EXPECT_TRUE(labelCodePage) << fsck.output;
    EXPECT_TRUE(test_support::onlyLabelRefused(fsck, image)) << fsck.output;
}

}  // namespace produced_test
