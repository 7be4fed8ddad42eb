// A device's files are its data: opening the device never changes them, a
// description that no longer matches them is refused, and an export reads
// them only.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "TavalTestSupport.h"
#include "platform/taval/DeviceDescription.h"
#include "platform/taval/VirtualDevice.h"

using taval_test::Keys;
using taval_test::makeDevice;
using taval_test::TempFolder;
using Tessor::taval::VirtualDevice;

namespace {

using Snapshot = std::map<std::string, std::vector<char>>;

// Every file of a folder with its bytes.
Snapshot snapshot(const std::string& folder) {
    Snapshot s;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        s[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    return s;
}

// A device with data on its flash and its logical disk.
std::string deviceWithData(const std::string& parent) {
    const std::string folder =
        makeDevice(parent, "d", {{"Device.Chips", "1"}, {"Device.BlocksPerChip", "16"}, {"Device.LogicalSectors", "2048"}});
    std::string error;
    std::shared_ptr<VirtualDevice> device = VirtualDevice::open(folder, &error);
    EXPECT_TRUE(device) << error;
    const std::vector<uint8_t> data(8 * 512, 0x5A);
    EXPECT_TRUE(device->writeFlash(0, 64, 8, data.data()));
    EXPECT_TRUE(device->writeLogical(2040, 8, data.data()));
    return folder;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace

TEST(DeviceFiles, DescriptionsThatDoNotMatchTheFilesAreRefusedAndNothingChanges) {
    const struct {
        const char* name;
        std::string (*edit)(const std::string& ini);
        const char* message;  // part of the refusal
    } cases[] = {
        {"smaller flash", [](const std::string& ini) { return ini + "[Device]\nBlocksPerChip=8\n"; },
         "flash.bin: holds 540672 bytes, but the description gives 270336 bytes"},
        {"larger flash", [](const std::string& ini) { return ini + "[Device]\nBlocksPerChip=32\n"; },
         "flash.bin: holds 540672 bytes, but the description gives 1081344 bytes"},
        {"smaller logical disk", [](const std::string& ini) { return ini + "[Device]\nLogicalSectors=1024\n"; },
         "logical.bin: holds 1048576 bytes, but the description gives 524288 bytes"},
        // Cut after a whole line: it still parses, with defaults for the rest.
        {"cut description that parses",
         [](const std::string& ini) { return "[Device]\nVariant=6716\n" + ini.substr(0, ini.find("Drive=")); },
         "flash.bin: holds 540672 bytes, but the description gives 2162688 bytes"},
        {"cut description", [](const std::string& ini) { return ini.substr(0, ini.find("Chips=") + 3); },
         "is not a key"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const std::string folder = deviceWithData(dir.path());
        const std::string ini = folder + "/device.ini";
        writeText(ini, c.edit(readText(ini)));
        const Snapshot before = snapshot(folder);
        std::string error;
        EXPECT_FALSE(VirtualDevice::open(folder, &error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        taval_test::Engine engine(1);
        EXPECT_LT(engine.hub().plug(0, folder, &error), 0);
        EXPECT_TRUE(snapshot(folder) == before);
    }
}

// A file of an open device cut from outside fails the writes that land in
// it (and, for the page states, every operation after the first one whose
// changes cannot be saved): the process lives on, and the cut file is not
// grown back into one whose lost part reads as blank.
TEST(DeviceFiles, AFileCutWhileOpenFailsOnlyTheWritesThatLandInIt) {
    struct Case {
        const char* file;
        bool flashWritten;
        bool logicalWritten;
    };
    for (const Case& c : {Case{"flash.bin", false, true}, Case{"logical.bin", true, false}, Case{"pages.bin", false, false}}) {
        SCOPED_TRACE(c.file);
        TempFolder dir;
        const std::string folder = deviceWithData(dir.path());
        std::string error;
        std::shared_ptr<VirtualDevice> device = VirtualDevice::open(folder, &error);
        ASSERT_TRUE(device) << error;
        const std::string cut = folder + "/" + c.file;
        std::filesystem::resize_file(cut, 0);
        const std::vector<uint8_t> data(8 * 512, 0xA5);
        EXPECT_EQ(device->writeFlash(0, 15 * 64, 8, data.data()), c.flashWritten);
        EXPECT_EQ(device->eraseBlocks(0, 64, 1), c.flashWritten);
        EXPECT_EQ(device->writeLogical(2040, 8, data.data()), c.logicalWritten);
        EXPECT_EQ(std::filesystem::file_size(cut), 0u);
    }
}

TEST(DeviceFiles, ExportWritesOnlyItsOutputFolder) {
    TempFolder dir;
    const std::string folder = deviceWithData(dir.path());
    std::filesystem::remove(folder + "/pages.bin");  // made again only by a plug-in
    const Snapshot before = snapshot(folder);
    std::string error;
    std::shared_ptr<VirtualDevice> device = VirtualDevice::openForExport(folder, &error);
    ASSERT_TRUE(device) << error;
    ASSERT_TRUE(device->exportLogical(dir.path() + "/logical.img", &error)) << error;
    ASSERT_TRUE(device->exportFlash(dir.path() + "/flash.raw", &error)) << error;
    EXPECT_TRUE(snapshot(folder) == before);
    EXPECT_EQ(std::filesystem::file_size(dir.path() + "/logical.img"), 2048u * 512);

    // A description cut short is refused before anything is written.
    const std::string ini = folder + "/device.ini";
    writeText(ini, readText(ini).substr(0, readText(ini).find("Drive=")));
    const Snapshot cut = snapshot(folder);
    EXPECT_FALSE(VirtualDevice::openForExport(folder, &error));
    EXPECT_TRUE(snapshot(folder) == cut);
}
