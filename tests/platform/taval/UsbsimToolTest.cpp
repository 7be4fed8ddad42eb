#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TavalTestSupport.h"
#include "platform/taval/DeviceDescription.h"
#include "platform/taval/RamLunTable.h"
#include "platform/taval/Variant.h"
#include "platform/taval/VirtualDevice.h"

using taval_test::Engine;
using taval_test::TempFolder;
using Tessor::taval::VirtualDevice;

namespace {

struct CommandResult {
    int status;
    std::string output;  // stdout and stderr
};

CommandResult run(const std::string& command) {
    CommandResult r{-1, ""};
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return r;
    }
    char buf[4096];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) {
        r.output.append(buf, n);
    }
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

CommandResult usbsim(const std::string& args) { return run(std::string(USBSIM_PATH) + " " + args); }

std::vector<unsigned char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(UsbsimTool, HelpTellsEveryCommand) {
    const CommandResult r = usbsim("help");
    EXPECT_EQ(r.status, 0);
    for (const char* word : {"create", "ini-section", "plug", "unplug", "export", "TAVAL_PORTS", "--fault"}) {
        EXPECT_NE(r.output.find(word), std::string::npos) << word;
    }
    EXPECT_NE(usbsim("frobnicate").status, 0);
}

TEST(UsbsimTool, FatVolumeWrittenThroughTheHubExportsCleanForFsck) {
    TempFolder dir;
    const std::string dev = dir.path() + "/dev";
    const CommandResult created = usbsim("create " + dev +
                               " --variant 6726 --chips 2 --answering 2 --id 98D79432 --blocks 64 --pages 64"
                               " --sectors 8 --logical 65536 --drive SIMX --fault BadBlocks=3 --seed 4");
    ASSERT_EQ(created.status, 0) << created.output;
    EXPECT_NE(usbsim("create " + dev).status, 0);  // never overwrites a device

    const CommandResult section = usbsim("ini-section " + dev);
    ASSERT_EQ(section.status, 0) << section.output;
    EXPECT_EQ(section.output.rfind("[98D79432DD]\n", 0), 0u) << section.output;
    EXPECT_NE(section.output.find("PartNumber=SIM-6726-2x64\n"), std::string::npos);
    EXPECT_NE(section.output.find("BlockPerChip=64\nPagePerBlock=64\nSectorPerPage=8\n"), std::string::npos);

    // A FAT volume made on a staged image goes onto the device's logical disk.
    const std::string staged = dir.path() + "/staged.img";
    const CommandResult mkfs = run("mkfs.fat -C -n TESSOR " + staged + " 32768");
    ASSERT_EQ(mkfs.status, 0) << mkfs.output;
    const std::vector<unsigned char> image = readAll(staged);
    ASSERT_EQ(image.size(), 65536u * 512);
    {
        Engine engine(1);
        std::string error;
        ASSERT_EQ(engine.hub().plug(0, dev, &error), 0) << error;
        _USB_DEVICE_T* r = engine.record(0);
        EXPECT_STREQ(r->driveText, "SIMX");
        for (unsigned first = 0; first < 65536; first += 128) {
            ASSERT_NE(r->operations->writeLogicalSectors(r, first, 128, image.data() + size_t(first) * 512), 0);
        }
        ASSERT_NE(r->operations->readLogicalSectors(r, 0, 1), 0);
        EXPECT_EQ(std::vector<unsigned char>(r->dataBuffer, r->dataBuffer + 512),
                  std::vector<unsigned char>(image.begin(), image.begin() + 512));
        const unsigned char data[512] = {7};
        ASSERT_NE(r->operations->writeFlashSectors(r, 1, 10, 1, data), 0);
    }

    const std::string out = dir.path() + "/out";
    const CommandResult exported = usbsim("export " + dev + " " + out);
    ASSERT_EQ(exported.status, 0) << exported.output;
    EXPECT_EQ(readAll(out + "/logical.img"), image);
    const CommandResult fsck = run("fsck.fat -n " + out + "/logical.img");
    EXPECT_EQ(fsck.status, 0) << fsck.output;
    const CommandResult mdir = run("mdir -i " + out + "/logical.img ::");
    EXPECT_NE(mdir.output.find("TESSOR"), std::string::npos) << mdir.output;

    // The raw dump holds 528 bytes a sector, the written sector with its spare.
    const std::vector<unsigned char> raw = readAll(out + "/flash.raw");
    ASSERT_EQ(raw.size(), size_t(2) * 64 * 64 * 8 * 528);
    const size_t at = (size_t(64) * 64 * 8 + 10) * 528;
    EXPECT_EQ(raw[at], 7);
    EXPECT_EQ(raw[at + 512], 0x00);  // programmed mark
    EXPECT_EQ(raw[at + 513], 0xFF);
    EXPECT_EQ(raw[0], 0x00);  // erased: a hole
}

TEST(UsbsimTool, PlugAndUnplugThroughThePortsFolder) {
    TempFolder dir;
    const std::string ports = dir.path() + "/ports";
    std::filesystem::create_directories(ports);
    ASSERT_EQ(usbsim("create " + dir.path() + "/dev").status, 0);
    const CommandResult plugged = usbsim("plug " + ports + " 1 " + dir.path() + "/dev");
    ASSERT_EQ(plugged.status, 0) << plugged.output;
    EXPECT_TRUE(std::filesystem::is_symlink(ports + "/port1"));
    EXPECT_NE(usbsim("plug " + ports + " 1 " + dir.path() + "/dev").status, 0);
    EXPECT_EQ(usbsim("unplug " + ports + " 1").status, 0);
    EXPECT_FALSE(std::filesystem::exists(ports + "/port1"));
    EXPECT_NE(usbsim("unplug " + ports + " 1").status, 0);
    EXPECT_NE(usbsim("plug " + ports + " x " + dir.path() + "/dev").status, 0);
}

TEST(UsbsimTool, MalformedDevicesAreRefusedNamingFileKeyAndValue) {
    TempFolder dir;
    const CommandResult bad = usbsim("create " + dir.path() + "/bad --variant 9999");
    EXPECT_NE(bad.status, 0);
    EXPECT_NE(bad.output.find("device.ini"), std::string::npos) << bad.output;
    EXPECT_NE(bad.output.find("Device.Variant"), std::string::npos) << bad.output;
    EXPECT_NE(bad.output.find("'9999'"), std::string::npos) << bad.output;
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/bad/device.ini"));

    const CommandResult fault = usbsim("create " + dir.path() + "/f --fault Smoke=1");
    EXPECT_NE(fault.status, 0);
    EXPECT_NE(fault.output.find("Faults.Smoke"), std::string::npos) << fault.output;

    // A device folder broken after its creation is not plugged.
    ASSERT_EQ(usbsim("create " + dir.path() + "/dev").status, 0);
    test_support::writeDeviceIni(dir.path() + "/dev", test_support::readDeviceIni(dir.path() + "/dev"),
                                 {{"Device.SectorsPerPage", "6"}});
    const std::string ports = dir.path() + "/ports";
    std::filesystem::create_directories(ports);
    const CommandResult plug = usbsim("plug " + ports + " 0 " + dir.path() + "/dev");
    EXPECT_NE(plug.status, 0);
    EXPECT_NE(plug.output.find("'6'"), std::string::npos) << plug.output;
    EXPECT_FALSE(std::filesystem::exists(ports + "/port0"));
    EXPECT_NE(usbsim("export " + dir.path() + "/missing " + dir.path() + "/o").status, 0);
    EXPECT_NE(usbsim("create").status, 0);
    EXPECT_NE(usbsim("create " + dir.path() + "/g --chips").status, 0);
}

TEST(UsbsimTool, EachPresetMakesItsGeometry) {
    const struct {
        const char* name;
        const char* variant;
        int chips, blocks, realBlocks, pages, realPages, sectors, planes;
    } cases[] = {
        {"G1", "6716", 1, 256, 0, 64, 0, 4, 0},          {"G2", "6716", 2, 512, 0, 128, 0, 8, 1},
        {"G3", "6706", 1, 1024, 0, 32, 0, 1, 0},         {"G4", "6716V31", 1, 256, 200, 256, 192, 16, 0},
        {"G4-94", "6716V31", 1, 256, 200, 128, 94, 16, 0}, {"G5", "6716", 3, 1000, 0, 64, 0, 4, 0},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = dir.path() + "/" + c.name;
        const CommandResult created = usbsim("create " + folder + " --preset " + c.name);
        ASSERT_EQ(created.status, 0) << created.output;
        Tessor::taval::DeviceDescription d;
        std::string error;
        ASSERT_TRUE(Tessor::taval::DeviceDescription::load(folder, &d, &error)) << error;
        const Tessor::taval::Geometry& g = d.geometry;
        EXPECT_STREQ(d.variant->id.name, c.variant);
        EXPECT_EQ(g.chips, c.chips);
        EXPECT_EQ(g.blocksPerChip, c.blocks);
        EXPECT_EQ(g.realBlocksPerChip, c.realBlocks);
        EXPECT_EQ(g.pagesPerBlock, c.pages);
        EXPECT_EQ(g.realPagesPerBlock, c.realPages);
        EXPECT_EQ(g.sectorsPerPage, c.sectors);
        EXPECT_EQ(d.maxPlaneNum, c.planes);
    }
    const std::string section = usbsim("ini-section " + dir.path() + "/G4").output;
    EXPECT_NE(section.find("PartNumber=(TLC)"), std::string::npos) << section;
    EXPECT_NE(section.find("BlockPerChip=200\nPagePerBlock=192"), std::string::npos) << section;
    EXPECT_NE(usbsim("create " + dir.path() + "/x --preset G9").output.find("unknown preset"), std::string::npos);
}

// What the tool refuses it says, with a non-zero status; what it takes from
// a file it shows escaped.
TEST(UsbsimTool, RefusalsAreToldAndEndNonZero) {
    TempFolder dir;
    const std::string ports = dir.path() + "/ports";
    const std::string a = dir.path() + "/a";
    const std::string b = dir.path() + "/b";
    std::filesystem::create_directories(ports);
    ASSERT_EQ(usbsim("create " + a).status, 0);
    ASSERT_EQ(usbsim("create " + b).status, 0);
    // Of the same drive text as `a`, the default.
    const std::string c = dir.path() + "/c";
    ASSERT_EQ(usbsim("create " + c).status, 0);
    std::ofstream(ports + "/port-count") << "2\n";  // as a running tool leaves it
    ASSERT_EQ(usbsim("plug " + ports + " 0 " + a).status, 0);

    // Plugged into a running tool's hub: the device is held.
    Engine engine(1);
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, b, &error), 0) << error;

    const std::string crlf = dir.path() + "/crlf";
    std::filesystem::create_directories(crlf);
    std::ofstream(crlf + "/device.ini") << "\xEF\xBB\xBF[Device]\r\nVariant=6716\r\nBlocksPerChip=32\r\n";
    const std::string junk = dir.path() + "/junk";
    std::filesystem::create_directories(junk);
    std::ofstream(junk + "/device.ini") << "[Device]\nVariant=67\x1B[31m16\n";

    const struct {
        std::string args;
        bool refused;
        std::string told;
    } cases[] = {
        {"", true, "usbsim create DIR"},
        {"plug " + ports + " 5 " + b, true, "has ports 0..1; nothing plugged"},
        {"plug " + ports + " 1 " + a, true, "is plugged into port 0 already"},
        {"plug " + ports + " 1 " + b, true, "plugged into another running tool"},
        {"plug " + ports + " 1 " + c, true, "port 0 has the drive text 'SIM' already"},
        {"export " + b + " " + dir.path() + "/out", true, "pull it out first"},
        {"export " + b + " " + dir.path() + "/out --force", false, "logical.img"},
        {"ini-section " + crlf, false, "BlockPerChip=32\n"},
        {"ini-section " + junk, true, "'67\\x1B[31m16'"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.args);
        const CommandResult r = usbsim(row.args);
        EXPECT_EQ(r.status != 0, row.refused) << r.output;
        EXPECT_NE(r.output.find(row.told), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find('\x1B'), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(ports + "/port1"));
    EXPECT_FALSE(std::filesystem::exists(ports + "/port5"));
}

// The firmware version a device reports is chosen at its creation.
TEST(UsbsimTool, ReportedFirmwareIsChosenAtCreation) {
    TempFolder dir;
    const std::string dev = dir.path() + "/dev";
    ASSERT_EQ(usbsim("create " + dev + " --firmware 2.50").status, 0);
    EXPECT_NE(usbsim("create " + dir.path() + "/bad --firmware 2.5").status, 0);
    Engine engine(1);
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, dev, &error), 0) << error;
    _USB_DEVICE_T* r = engine.record(0);
    ASSERT_NE(r->operations->readVersionInfo(r), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(r->dataBuffer) + 4, 4), "2.50");
}

// A table written at creation is what the controller boots from; its units
// read back as asked for. A table that cannot be made leaves no device.
TEST(UsbsimTool, DeviceCreatedWithATable) {
    TempFolder dir;
    const std::string dev = dir.path() + "/dev";
    const CommandResult created = usbsim("create " + dev + " --variant 6716V31 --logical 8192 --lun 3000"
                                         " --lun 1000:hidden:protected --fault RemoveAfter=1");
    ASSERT_EQ(created.status, 0) << created.output;
    EXPECT_NE(created.output.find("with a configuration table"), std::string::npos);
    // Written before the fault rules apply, which the description keeps.
    const std::vector<unsigned char> ini = readAll(dev + "/device.ini");
    EXPECT_NE(std::string(ini.begin(), ini.end()).find("RemoveAfter=1"), std::string::npos);

    Engine engine(1);
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, dev, &error), 0) << error;
    EXPECT_GE(engine.hub().device(0)->bootSector(), 0);
    _USB_DEVICE_T* r = engine.record(0);
    ASSERT_NE(r->operations->readVersionInfo(r), 0);
    const std::vector<uint8_t> block(r->dataBuffer, r->dataBuffer + 512);
    const Tessor::taval::RamLunTable units =
        Tessor::taval::RamLunTable::read(*Tessor::taval::findVariant("6716V31"), block);
    EXPECT_EQ(units.slot[0].capacity, 3000u);
    EXPECT_FALSE(units.slot[0].hidden());
    EXPECT_EQ(units.slot[1].capacity, 1000u);
    EXPECT_EQ(units.slot[1].start, 3000u);
    EXPECT_TRUE(units.slot[1].hidden());
    EXPECT_TRUE(units.slot[1].writeProtected());

    const struct {
        std::string options;
        std::string told;
    } refusals[] = {
        {"--logical 4096 --lun 5000", "within the 4096 sectors"},
        {"--lun 10:bogus", "'bogus' is neither hidden nor protected"},
        {"--lun x", "needs a sector count"},
        {"--lun 1 --lun 1 --lun 1 --lun 1 --lun 1", "at most 4 units"},
    };
    for (const auto& c : refusals) {
        SCOPED_TRACE(c.options);
        const CommandResult refused = usbsim("create " + dir.path() + "/bad " + c.options);
        EXPECT_NE(refused.status, 0);
        EXPECT_NE(refused.output.find(c.told), std::string::npos) << refused.output;
        EXPECT_FALSE(std::filesystem::exists(dir.path() + "/bad/device.ini"));
        EXPECT_FALSE(std::filesystem::exists(dir.path() + "/bad/flash.bin"));
    }
}

// A unit copied up to its last written sector holds the device's bytes up to
// the MiB after that sector and a hole past it; with a zero fill the hole is
// the truth, so the whole unit counts as exact.
TEST(UsbsimTool, UnitsCopiedUpToTheirLastWrittenSector) {
    for (const int fill : {0x00, 0xFF}) {
        SCOPED_TRACE(fill);
        TempFolder dir;
        const std::string dev = dir.path() + "/dev";
        const CommandResult created =
            usbsim("create " + dev + " --variant 6716V31 --logical 12288 --lun 6000 --lun 6288");
        ASSERT_EQ(created.status, 0) << created.output;
        test_support::writeDeviceIni(dev, test_support::readDeviceIni(dev), {{"Device.LogicalFill", std::to_string(fill)}});
        std::string error;
        std::shared_ptr<VirtualDevice> device = VirtualDevice::open(dev, &error);
        ASSERT_TRUE(device) << error;
        // Past the first MiB of the first unit; the second stays unwritten.
        const std::vector<uint8_t> data(512, 0x5A);
        ASSERT_TRUE(device->writeLogical(2100, 1, data.data()));

        std::vector<VirtualDevice::UnitCopy> copies;
        ASSERT_TRUE(device->exportUnits(dir.path(), &copies, &error, VirtualDevice::ExportExtent::UpToLastWritten))
            << error;
        ASSERT_EQ(copies.size(), 2u);
        EXPECT_EQ(copies[0].exact, fill == 0 ? 6000 : 4096);
        EXPECT_EQ(copies[1].exact, fill == 0 ? 6288 : 0);
        std::vector<unsigned char> first(size_t(6000) * 512, 0);
        std::fill(first.begin(), first.begin() + copies[0].exact * 512, fill);
        std::copy(data.begin(), data.end(), first.begin() + 2100 * 512);
        EXPECT_TRUE(readAll(copies[0].path) == first);
        EXPECT_TRUE(readAll(copies[1].path) == std::vector<unsigned char>(size_t(6288) * 512, 0));
    }
}

// A large device with a small partition exports at the cost of what it
// holds: what was never written is a hole in every copy.
TEST(UsbsimTool, ExportOfALargeDeviceCostsWhatItHolds) {
    constexpr int64_t kMiB = 1 << 20;
    constexpr int64_t kPartition = 64 * kMiB / 512;
    TempFolder dir;
    const std::string dev = dir.path() + "/dev";
    // 16 GiB of flash: 2 chips x 8192 blocks x 256 pages x 8 sectors.
    const CommandResult created = usbsim("create " + dev + " --chips 2 --blocks 8192 --pages 256 --sectors 8 --lun " +
                                         std::to_string(kPartition));
    ASSERT_EQ(created.status, 0) << created.output;
    {
        Engine engine(1);
        std::string error;
        ASSERT_EQ(engine.hub().plug(0, dev, &error), 0) << error;
        _USB_DEVICE_T* r = engine.record(0);
        std::vector<unsigned char> data(128 * 512);
        for (unsigned first = 0; first < kPartition; first += 128) {
            std::fill(data.begin(), data.end(), static_cast<unsigned char>(first / 128 % 251 + 1));
            ASSERT_NE(r->operations->writeLogicalSectors(r, first, 128, data.data()), 0);
        }
    }
    const std::string out = dir.path() + "/out";
    const CommandResult exported = usbsim("export " + dev + " " + out);
    ASSERT_EQ(exported.status, 0) << exported.output;
    const auto occupied = [](const std::string& path) {
        struct stat st = {};
        return ::stat(path.c_str(), &st) == 0 ? int64_t(st.st_blocks) * 512 : -1;
    };
    EXPECT_EQ(std::filesystem::file_size(out + "/logical.img"), uint64_t(16) * 1024 * kMiB);
    EXPECT_EQ(std::filesystem::file_size(out + "/flash.raw"), uint64_t(16) * 1024 * kMiB / 512 * 528);
    EXPECT_EQ(std::filesystem::file_size(out + "/lun0.img"), uint64_t(64 * kMiB));
    EXPECT_NEAR(occupied(out + "/logical.img"), 64 * kMiB, kMiB);
    EXPECT_NEAR(occupied(out + "/lun0.img"), 64 * kMiB, kMiB);
    EXPECT_LT(occupied(out + "/flash.raw"), kMiB);
}
