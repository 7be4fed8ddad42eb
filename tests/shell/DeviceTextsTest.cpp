// The lines a port shows for the engine's reports, and its button.
#include <gtest/gtest.h>

#include "shell/DeviceTexts.h"
#include "shell/UiStateTable.h"

namespace {

using namespace Tessor::shell;
using enum Tessor::page::UiState;
using Tessor::schema::ConfigInfo;
using Tessor::schema::PartInfo;

std::string bracketed(const char* key) { return std::string("[") + key + "]"; }

TEST(DeviceTexts, StatusLinesCarryTheTableTextAndTheCode)
{
    EXPECT_EQ(statusLine(0x8029, englishText),
              "Some errors found:Canceled By User Interface(0x8029),Please eject this device and remount it later!");
    EXPECT_EQ(statusLine(0x1234, englishText),
              "Some errors found:Error Unknown!(0x1234),Please eject this device and remount it later!");
    EXPECT_EQ(statusLine(0x8006, bracketed),
              "[Some errors found]:[Can not detect flash id!](0x8006),[Please eject this device and remount it later!]");
    EXPECT_STREQ(deviceErrorText(0x1002), "Error in Scan Code!");
    EXPECT_STREQ(deviceErrorText(0x8042), "Read flash Id Failed");
    EXPECT_EQ(deviceErrorText(0x8043), nullptr);
}

TEST(DeviceTexts, BuildLineShowsTheConfiguredCapacityAfterTheMarker)
{
    EXPECT_EQ(buildOkLine(3000000, 2097152, 61999, 0x1A, englishText),
              "UDisk have build OK!Capacity=1464(MB)^1024(MB),Time-Consume=61(s),Scan mode=1a,Please remount it!");
    EXPECT_EQ(buildOkLine(3000000, 16, 999, 0, englishText),
              "UDisk have build OK!Capacity=1464(MB),Time-Consume=0(s),Scan mode=0,Please remount it!");
}

TEST(DeviceTexts, PartitionTextGivesTheLastPartitionWhatRemains)
{
    const struct {
        std::vector<std::pair<int, int>> parts;  // disk type, MB
        int totalMb;
        std::string text;
    } cases[] = {
        {{{0, 300}, {0, 900}}, 1000, "Removable Disk(300MB) Removable Disk(700MB) "},
        {{{1, 200}}, 1000, "Local Disk(1000MB) "},
        {{{2, 100}, {0, 500}, {1, 100}}, 1000, "CD-ROM(100MB) Removable Disk(500MB) Local Disk(400MB) "},
        {{{0, 1200}, {0, 100}}, 1000, "Removable Disk(1000MB) Removable Disk(0MB) "},
        {{{0, 100}, {0, 0}, {0, 100}}, 1000, "Removable Disk(100MB) "},
    };
    for (const auto& c : cases) {
        ConfigInfo settings;
        for (const auto& [type, mb] : c.parts) {
            Sptr<PartInfo> part(new PartInfo(mb * 2048));
            part->setDiskType(type);
            settings.addPartInfo(part);
        }
        EXPECT_EQ(partitionText(settings, c.totalMb, englishText), c.text);
    }
}

TEST(DeviceTexts, ButtonShowsThePortOrTheNextAction)
{
    const struct {
        int state;
        bool device;
        std::string text;
        bool enabled;
    } cases[] = {
        {UI_NO_DISK, true, "NoDisk", false},     {UI_FOUND, true, "3", false},
        {UI_READY, true, "SIM2: Start", true},   {UI_PRODUCING, true, "SIM2: Cancel", true},
        {UI_STOPPED, true, "SIM2: Eject", true}, {UI_EJECTING, true, "SIM2: Waiting", false},
        {UI_UNPLUGGED, true, "3", false},        {UI_FAILED, true, "SIM2: Eject", true},
        {UI_BUILT, true, "SIM2: Eject", true},   {UI_READY, false, "NoDisk", false},
    };
    for (const auto& c : cases) {
        const ButtonView view = buttonView(c.state, c.device, "SIM2", 2, englishText);
        EXPECT_EQ(view.text, c.text) << "state " << c.state;
        EXPECT_EQ(view.enabled, c.enabled) << "state " << c.state;
    }
    EXPECT_EQ(newDeviceLine("SIM2", 2, englishText), "Find new USB device of 'SIM2' on channel(3)");
}

}  // namespace
