// Simulated devices produced through the engine's whole road, from plug-in
// to BUILD_OK; every logical unit of the table found on their flash is cut
// from the logical disk and read by the standard tools (fsck.fat, mtools,
// sfdisk, xorriso), once with unwritten logical sectors reading 0x00 and
// once 0xFF.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "HighFormatRoad.h"
#include "schema/base/DeviceCode.h"
#include "support/SystemAreaReader.h"
#include "support/Waits.h"
#include "usb/cfg/BuildInfo.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cmd/SetList.h"
#include "usb/profile/ProfileUser.h"
#include "platform/ini/Ini.h"
#include "usb/task/hFormat/TaskHfFormatAllPartitions.h"
#include "platform/orrin/CodePage.h"

namespace {

using namespace engine_test;
using Tessor::schema::CAPACITY_POLICY_T;
using Tessor::schema::DeviceCode;
using Tessor::schema::TaskHfFormatAllPartitions;

struct Scenario {
    const char* name;
    _FUNCTION_T function;
    std::vector<Partition> partitions;
    std::vector<Unit> units;
    // A factory-produced 1 Gbit device whose logical disk has this many
    // sectors, given new partitions by the user function; 0: the factory
    // run alone.
    int64_t producedDisk = 0;
    // As the sample profile has it: "Rational" with no real capacity, so
    // every partition keeps the size given.
    CAPACITY_POLICY_T policy = Tessor::schema::CAPACITY_BEGIN_IS_FIRST;
};

const Scenario SCENARIOS[] = {
    {"LocalDiskFat32WithSecondPartition", FUNCTION_FACTORY,
     {{DISK_LOCAL, 150000, "first"}, {DISK_REMOVABLE, REST, "second"}},
     {{LOCAL_FAT, 32, "first"}, {REMOVABLE_FAT, 16, "second"}}},
    {"RemovableFat16", FUNCTION_FACTORY, {{DISK_REMOVABLE, REST, "first"}}, {{REMOVABLE_FAT, 16, "first"}}},
    {"Fat12", FUNCTION_FACTORY,
     {{DISK_REMOVABLE, 8000, "first"}, {DISK_REMOVABLE, REST, ""}},
     {{REMOVABLE_FAT, 12, "first"}, {REMOVABLE_FAT, 16, ""}}},
    {"CdromAndRemovableDisk", FUNCTION_FACTORY,
     {{DISK_CDROM, 4096, "iso"}, {DISK_REMOVABLE, REST, "second"}},
     {{CDROM_IMAGE, 0, "iso"}, {REMOVABLE_FAT, 16, "second"}}},
    // The login unit gets the login content; the hidden unit holds the rest.
    {"EncryptedLogin", FUNCTION_FACTORY,
     {{DISK_REMOVABLE, REST, "", true}},
     {{REMOVABLE_FAT, 16, "login"}, {REMOVABLE_FAT, 16, ""}}},
    // The two sizes whose FAT32 the plain formula would make too small.
    {"LargeLocalDisks", FUNCTION_USER,
     {{DISK_LOCAL, 7831552, "first"}, {DISK_LOCAL, 15663104, "second"}},
     {{LOCAL_FAT, 32, "first"}, {LOCAL_FAT, 32, "second"}},
     7831552 + 15663104},
    // Clusters of 64 sectors: the whole root cluster reads as empty entries,
    // not only its first 32 sectors.
    {"LocalDiskOf32GiB", FUNCTION_USER, {{DISK_LOCAL, 67200000, "first"}}, {{LOCAL_FAT, 32, "first"}}, 67200000},
    {"KeptSizesCdromFirst", FUNCTION_FACTORY,
     {{DISK_CDROM, 4096, "iso"}, {DISK_LOCAL, 150000, "first"}, {DISK_REMOVABLE, 20000, "second"}},
     {{CDROM_IMAGE, 0, "iso"}, {LOCAL_FAT, 16, "first"}, {REMOVABLE_FAT, 16, "second"}},
     0, Tessor::schema::CAPACITY_RATIONAL},
    // Smaller than a unit scaled to the device may be.
    {"KeptSizesSmallUnit", FUNCTION_FACTORY, {{DISK_REMOVABLE, 8192, "first"}}, {{REMOVABLE_FAT, 12, "first"}},
     0, Tessor::schema::CAPACITY_RATIONAL},
};

struct Case {
    Scenario scenario;
    int fill;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.scenario.name << " fill " << c.fill; }

std::vector<Case> cases()
{
    std::vector<Case> all;
    for (const Scenario& s : SCENARIOS) {
        for (int fill : {0x00, 0xFF}) {
            all.push_back({s, fill});
        }
    }
    return all;
}

class EngineHighFormat : public ::testing::TestWithParam<Case> {};

TEST_P(EngineHighFormat, EveryUnitIsReadByTheStandardTools)
{
    const Scenario& s = GetParam().scenario;
    const int fill = GetParam().fill;
    EngineEnvironment& environment = EngineEnvironment::instance();
    const Station6716 station;
    Content::instance();
    UsbConfiguration::instance()->setLoginIsoFile(Content::instance().path("login"));
    Keys keys = {{"Device.FlashId", "ECD35195"}, {"Device.BlocksPerChip", "1024"}, {"Device.PagesPerBlock", "64"},
                 {"Device.LogicalFill", std::to_string(fill)}};
    if (s.producedDisk != 0) {
        keys["Device.LogicalSectors"] = std::to_string(s.producedDisk);
    }
    const std::string folder = environment.makeDevice(std::string(s.name) + std::to_string(fill), keys);
    if (s.producedDisk != 0) {
        // Produced by the factory first, so the user run finds the table a
        // low format left.
        const std::vector<Partition> whole = {{DISK_REMOVABLE, REST, ""}};
        Engine factory(1, FUNCTION_FACTORY);
        ASSERT_NO_FATAL_FAILURE(produce(factory, folder, settingsOf(factory, whole, 0)));
    }
    Engine engine(1, s.function);
    ASSERT_NO_FATAL_FAILURE(produce(engine, folder, settingsOf(engine, s.partitions, s.producedDisk, s.policy)));
    std::string error;

    // The units of the table on the flash, as the device serves them.
    const std::string out = environment.folder() + "/export-" + s.name + std::to_string(fill);
    std::filesystem::create_directories(out);
    std::vector<VirtualDevice::UnitCopy> copies;
    // A disk copied whole as 0xFF would be a hundred megabytes written or
    // more, nearly all of a data area that no check reads; the copy ends
    // after the last written sector, and the tools are shown to read nothing
    // past it.
    ASSERT_TRUE(
        engine.hub().device(0)->exportUnits(out, &copies, &error, VirtualDevice::ExportExtent::UpToLastWritten))
        << error;
    ASSERT_EQ(copies.size(), s.units.size());
    Volumes volumes(out);
    for (size_t i = 0; i < copies.size(); ++i) {
        SCOPED_TRACE("unit " + std::to_string(i));
        volumes.expectUnit(copies[i], s.units[i]);
    }
    std::filesystem::remove_all(out);
}

INSTANTIATE_TEST_SUITE_P(Layouts, EngineHighFormat, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& test) {
                             return std::string(test.param.scenario.name) + (test.param.fill ? "Ff" : "Zero");
                         });

// A failure injected into one device's high format gives that device its
// code in a status report, while a sound device on another port is built.
struct Failing {
    const char* name;
    const char* rule;  // of the device's fault rules, or ""
    std::vector<Partition> partitions;
    int code;  // 0: built
};

TEST(EngineHighFormatFaults, EachDeviceGetsItsCodeWhileTheOthersAreBuilt)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    const Station6716 station;
    const std::vector<Partition> oneDisk = {{DISK_REMOVABLE, REST, "first"}};
    const std::vector<Partition> twoDisks = {{DISK_REMOVABLE, 60000, "first"}, {DISK_REMOVABLE, REST, "second"}};
    // The first partition's boot sector, FATs and root directory are the
    // first four writes when each FAT is written at once.
    const std::vector<Partition> smallFirst = {{DISK_REMOVABLE, 8401, ""}, {DISK_REMOVABLE, REST, ""}};
    const Failing devices[] = {
        {"Sound", "", twoDisks, 0},
        // The image made for the test is larger than 64 sectors.
        {"IsoTooLarge", "", {{DISK_CDROM, 64, "iso"}, {DISK_REMOVABLE, REST, ""}}, 0x8034},
        {"Mbr", "FailLogicalWrite=1", {{DISK_LOCAL, REST, ""}}, 0x8035},
        {"Dbr", "FailLogicalWrite=1", oneDisk, 0x8036},
        {"Fat", "FailLogicalWrite=2", smallFirst, 0x8037},
        {"Root", "FailLogicalWrite=4", smallFirst, 0x8038},
        {"Copy", "FailCopy=always", oneDisk, DeviceCode::FILE_COPY_FAILED},
        {"Switch", "FailSwitch=always", twoDisks, DeviceCode::PARTITION_SWITCH_FAILED},
        // The first takes what the device has: the second would be left out.
        {"UnitLeftOut", "", {{DISK_REMOVABLE, 300000, ""}, {DISK_REMOVABLE, 100000, ""}}, 0x8020},
    };
    const int ports = static_cast<int>(std::size(devices));
    Engine engine(ports, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    for (int port = 0; port < ports; ++port) {
        const Failing& d = devices[port];
        Keys keys = {{"Device.FlashId", "ECD35195"}, {"Device.BlocksPerChip", "1024"},
                     {"Device.PagesPerBlock", "64"}};
        if (*d.rule != '\0') {
            const std::string rule = d.rule;
            keys["Faults." + rule.substr(0, rule.find('='))] = rule.substr(rule.find('=') + 1);
        }
        std::string error;
        ASSERT_EQ(engine.hub().plug(port, environment.makeDevice(std::string("Fault") + d.name, keys), &error), 0)
            << error;
    }
    for (int port = 0; port < ports; ++port) {
        ASSERT_TRUE(engine.waitState(port, "StateWait")) << engine.stateOf(port);
        engine.start(port, settingsOf(engine, devices[port].partitions, 0));
    }
    for (int port = 0; port < ports; ++port) {
        const Failing& d = devices[port];
        SCOPED_TRACE(d.name);
        EXPECT_EQ(engine.waitRunEnded(port, ROAD_LIMIT), d.code == 0 ? "StateBuildOk" : "StateError");
        const Report last = d.code == 0 ? Report{UI_SIG_BUILD_OK, port, 0} : Report{UI_SIG_STATUS, port, d.code};
        EXPECT_TRUE(engine.ui().waitReports(port, {{UI_SIG_FOUND, port, 0}, {UI_SIG_READY, port, 0}, last}))
            << ::testing::PrintToString(engine.ui().reports(port));
        // The report says what failed.
        EXPECT_EQ(engine.ui().lastCause(port).empty(), d.code == 0) << engine.ui().lastCause(port);
    }
    int copies = 0;
    for (const Tessor::taval::OpRecord& op : engine.hub().device(6)->opLog()) {
        copies += op.kind == OpKind::Copy ? 1 : 0;
    }
    EXPECT_EQ(copies, TaskHfFormatAllPartitions::COPY_ATTEMPTS);
}

// Devices that call themselves by one drive text, produced at the same time:
// each one's copy reaches that device and no other.
TEST(EngineHighFormatCopies, DevicesOfOneDriveTextEachGetTheirOwnContent)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    const Station6716 station;
    const std::vector<std::string> contents = {"first", "second", "login"};
    const int ports = static_cast<int>(contents.size());
    Engine engine(ports, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    for (int port = 0; port < ports; ++port) {
        const std::string folder = environment.makeDevice(
            "SameDrive" + std::to_string(port), {{"Device.FlashId", "ECD35195"}, {"Device.BlocksPerChip", "1024"},
                                                 {"Device.PagesPerBlock", "64"}, {"Device.Drive", "SIM"}});
        std::string error;
        ASSERT_EQ(engine.hub().plug(port, folder, &error), 0) << error;
    }
    for (int port = 0; port < ports; ++port) {
        ASSERT_TRUE(engine.waitState(port, "StateWait")) << engine.stateOf(port);
        engine.start(port, settingsOf(engine, {{DISK_REMOVABLE, REST, contents[size_t(port)]}}, 0));
    }
    for (int port = 0; port < ports; ++port) {
        EXPECT_EQ(engine.waitRunEnded(port, ROAD_LIMIT), "StateBuildOk") << "port " << port;
    }
    for (int port = 0; port < ports; ++port) {
        SCOPED_TRACE("port " + std::to_string(port));
        const std::string out = environment.folder() + "/export-SameDrive" + std::to_string(port);
        std::filesystem::create_directories(out);
        std::vector<VirtualDevice::UnitCopy> copies;
        std::string error;
        ASSERT_TRUE(engine.hub().device(port)->exportUnits(out, &copies, &error)) << error;
        ASSERT_EQ(copies.size(), 1u);
        Volumes(out).expectUnit(copies[0], {REMOVABLE_FAT, 16, contents[size_t(port)]});
        std::filesystem::remove_all(out);
    }
}

// A first unit one sector too small for its file system fails its device
// with 0x8020 and a message before any logical sector is written; one sector
// more is built and read by the tools. Beside a local disk of 62 sectors
// its master boot record's count would wrap and its FATs reach the next unit.
TEST(EngineHighFormatSmallUnits, AUnitTooSmallForItsFileSystemIsRefusedBeforeAnythingIsWritten)
{
    struct Small {
        int diskType;
        uint32_t sectors;
        Kind built;  // read back as this when it holds its file system
        bool holds;
    };
    const Small units[] = {{DISK_REMOVABLE, 56, REMOVABLE_FAT, false}, {DISK_REMOVABLE, 57, REMOVABLE_FAT, true},
                           {DISK_LOCAL, 62, LOCAL_FAT, false},        {DISK_LOCAL, 119, LOCAL_FAT, false},
                           {DISK_LOCAL, 120, LOCAL_FAT, true}};
    const Station6716 station;
    const int ports = static_cast<int>(std::size(units));
    Engine engine(ports, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    for (int port = 0; port < ports; ++port) {
        const Small& u = units[port];
        plugAndStart(engine, port, "Small" + std::to_string(u.diskType) + "-" + std::to_string(u.sectors),
                     {{u.diskType, u.sectors, ""}, {DISK_REMOVABLE, REST, ""}});
    }
    for (int port = 0; port < ports; ++port) {
        const Small& u = units[port];
        SCOPED_TRACE(std::to_string(u.diskType) + ": " + std::to_string(u.sectors) + " sectors");
        if (u.holds) {
            expectBuilt(engine, port, {{u.built, 12, ""}, {REMOVABLE_FAT, 16, ""}});
            continue;
        }
        expectFailed(engine, port, 0x8020, "too small for its file system");
        EXPECT_EQ(opsOf(engine, port, OpKind::LogicalWrite), 0);
    }
}

// Settings the front ends fitted to the device's sectors at the start are
// fitted to the fewer sectors its block sets offer before the low format:
// each partition keeps the size it was given, and the one that takes the
// rest (the last, or an encrypted first) takes what the others leave.
TEST(EngineHighFormatFit, PartitionsFittedAtTheStartKeepTheirSizesOnTheUsableSectors)
{
    constexpr uint32_t LOGIN = 24576;
    constexpr uint32_t LEFT = 0;  // the unit's sectors: what the others leave of the usable ones
    struct Fitted {
        const char* name;
        std::vector<Partition> partitions;
        std::vector<Unit> units;
        std::vector<uint32_t> sectors;
    };
    const Fitted devices[] = {
        {"EncryptedCdromLocal",
         {{DISK_REMOVABLE, 100000, "", true}, {DISK_CDROM, 4096, "iso"}, {DISK_LOCAL, 20000, "first"}},
         {{REMOVABLE_FAT, 16, "login"}, {CDROM_IMAGE, 0, "iso"}, {LOCAL_FAT, 16, "first"}, {REMOVABLE_FAT, 16, ""}},
         {LOGIN, 4096, 20000, LEFT}},
        {"EncryptedLastKept",
         {{DISK_REMOVABLE, 30000, "", true}, {DISK_REMOVABLE, 150000, "second"}},
         {{REMOVABLE_FAT, 16, "login"}, {REMOVABLE_FAT, 16, "second"}, {REMOVABLE_FAT, 16, ""}},
         {LOGIN, 150000, LEFT}},
        {"LastTakesTheRest",
         {{DISK_LOCAL, 100000, "first"}, {DISK_REMOVABLE, REST, "second"}},
         {{LOCAL_FAT, 32, "first"}, {REMOVABLE_FAT, 16, "second"}},
         {100000, LEFT}},
    };
    const Station6716 station;
    UsbConfiguration::instance()->setLoginIsoFile(Content::instance().path("login"));
    const int ports = static_cast<int>(std::size(devices));
    Engine engine(ports, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    for (int port = 0; port < ports; ++port) {
        ASSERT_NO_FATAL_FAILURE(plugDevice(engine, port, std::string("Fit") + devices[port].name));
        ASSERT_NO_FATAL_FAILURE(startAsFrontEnds(engine, port, settingsOf(engine, devices[port].partitions, 0)));
    }
    for (int port = 0; port < ports; ++port) {
        const Fitted& d = devices[port];
        SCOPED_TRACE(d.name);
        std::vector<VirtualDevice::UnitCopy> copies;
        ASSERT_NO_FATAL_FAILURE(expectBuilt(engine, port, d.units, &copies));
        int64_t left = engine.slot(port)->getSetList()->getValidateSectorsNumber();
        for (uint32_t sectors : d.sectors) {
            left -= sectors;
        }
        for (size_t i = 0; i < copies.size(); ++i) {
            EXPECT_EQ(copies[i].sectors, d.sectors[i] == LEFT ? left : int64_t(d.sectors[i])) << "unit " << i;
        }
    }
}

// The run settings of the sample profile with `keys` given their values.
Sptr<ConfigInfo> profileWith(const std::string& name, const std::vector<std::pair<const char*, const char*>>& keys)
{
    const std::string path = EngineEnvironment::instance().folder() + "/" + name + ".ini";
    std::filesystem::copy_file(std::string(TESSOR_SAMPLES) + "/releases/usr/etc/UserSetting.ini", path,
                               std::filesystem::copy_options::overwrite_existing);
    for (const auto& [key, value] : keys) {
        EXPECT_NE(WritePrivateProfileStringA("SettingInformation", key, value, path.c_str()), 0) << key;
    }
    UsbConfiguration* config = UsbConfiguration::instance();
    const std::string station = config->getUserFileName();
    config->setUserFileName(path);
    const Tessor::usb::ProfileUser profile("SettingInformation");
    config->setUserFileName(station);
    return profile.getConfigInfo();
}

// Profile sizes the fit to the device replaces are no reason to refuse it:
// a last partition of one sector that takes the rest, any size that
// "Rational" shares out.
TEST(EngineHighFormatFit, ProfileSizesTheFitReplacesAreBuilt)
{
    struct Profiled {
        const char* name;
        std::vector<std::pair<const char*, const char*>> keys;
        std::vector<Unit> units;
    };
    const Profiled devices[] = {
        {"LastOfOneSector",
         {{"capacityPolicy", "1"}, {"PtnCapacity0", "20000"}, {"PtnCapacity1", "1"}},
         {{REMOVABLE_FAT, 16, ""}, {REMOVABLE_FAT, 16, ""}}},
        {"SharedOfOneSector",
         {{"capacityPolicy", "0"}, {"PtnCapacity0", "1"}, {"PtnCapacity1", "1"}, {"PtnType1", "1"}},
         {{REMOVABLE_FAT, 16, ""}, {LOCAL_FAT, 16, ""}}},
        {"EncryptedSharedOfOneSector",
         {{"capacityPolicy", "0"}, {"PtnCapacity0", "1"}, {"PtnEncrypt0", "1"}},
         {{REMOVABLE_FAT, 16, "login"}, {REMOVABLE_FAT, 16, ""}}},
    };
    const Station6716 station;
    UsbConfiguration::instance()->setLoginIsoFile(Content::instance().path("login"));
    const int ports = static_cast<int>(std::size(devices));
    Engine engine(ports, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    for (int port = 0; port < ports; ++port) {
        ASSERT_NO_FATAL_FAILURE(plugDevice(engine, port, std::string("Profile") + devices[port].name));
        ASSERT_NO_FATAL_FAILURE(startAsFrontEnds(engine, port, profileWith(devices[port].name, devices[port].keys)));
    }
    for (int port = 0; port < ports; ++port) {
        SCOPED_TRACE(devices[port].name);
        expectBuilt(engine, port, devices[port].units);
    }
}

// A copy whose names the volume would hold otherwise than given (a short
// name alone in a code page other than GBK among them), or whose files are
// larger than the volume, fails its device at its first attempt with the
// copy code and a message naming the file and why; the odd names it can hold
// read back as they were given.
TEST(EngineHighFormatCopy, NamesTheVolumeWouldChangeFailTheCopy)
{
    struct Copied {
        std::string content;
        int code;           // 0: built
        std::string cause;  // what the report says beside the folder
        uint32_t sectors = 60000;
    };
    const std::string beyond = "smile\U0001F600.txt: its name holds a character beyond U+FFFF";
    const std::string otherwise = ": this volume cannot store its name as given";
    const std::string big = contentWith("big", {"small.txt"});
    std::ofstream(Content::instance().path(big) + "/large.bin") << std::string(5 << 20, 'b');
    const Copied devices[] = {
        {contentWith("odd", {"中文 名字.txt", "Mixed Case.Txt", ".hidden", "a.b.c.d", std::string(200, 'L') + ".txt",
                             "sub dir/ünï ß.TXT", "sub dir/README.TXT", "x+y,z;w=v[1].txt", "数据.TXT"}),
         0, ""},
        {contentWith("beyond-bmp", {"plain.txt", "smile\U0001F600.txt"}), DeviceCode::FILE_COPY_FAILED, beyond},
        {contentWith("ideograph", {"\U00020000.txt"}), DeviceCode::FILE_COPY_FAILED, "beyond U+FFFF"},
        {contentWith("case-twins", {"dup.txt", "DUP.TXT"}), DeviceCode::FILE_COPY_FAILED, otherwise},
        {contentWith("accented-short", {"ünï.txt"}), DeviceCode::FILE_COPY_FAILED, "ünï.txt: this volume"},
        {contentWith("accented-capitals", {"plain.txt", "sub/ÅÄÖ.TXT"}), DeviceCode::FILE_COPY_FAILED,
         "sub/ÅÄÖ.TXT: this volume would keep its name as a short name of code page 850"},
        {contentWith("box-drawing", {"═.TXT"}), DeviceCode::FILE_COPY_FAILED, "═.TXT: this volume would keep"},
        {big, DeviceCode::FILE_COPY_FAILED, "bytes of files do not fit on unit 0, whose volume holds at most 4", 8401},
    };
    const Station6716 station;
    const int ports = static_cast<int>(std::size(devices));
    Engine engine(ports, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    for (int port = 0; port < ports; ++port) {
        const Copied& d = devices[port];
        plugAndStart(engine, port, "Copy-" + d.content, {{DISK_REMOVABLE, d.sectors, d.content}, {DISK_REMOVABLE, REST, ""}});
    }
    for (int port = 0; port < ports; ++port) {
        const Copied& d = devices[port];
        SCOPED_TRACE(d.content);
        if (d.code == 0) {
            expectBuilt(engine, port, {{REMOVABLE_FAT, 16, d.content}, {REMOVABLE_FAT, 16, ""}});
            continue;
        }
        expectFailed(engine, port, d.code, "Copy directory of '" + Content::instance().path(d.content) + "' on disk");
        EXPECT_NE(engine.ui().lastCause(port).find(d.cause), std::string::npos) << engine.ui().lastCause(port);
        EXPECT_EQ(opsOf(engine, port, OpKind::Copy), 1);
    }
}

// Labels reach both places of the volume as 11 bytes of the code page,
// never half a double-byte character; one FAT does not allow fails its
// device with 0x8013 and says why before anything is written. A label
// whose lead byte is 0xE5, the mark of a deleted entry, still reads as the
// label and leaves the files copied after it in place.
TEST(EngineHighFormatLabels, LabelsAreWrittenInTheCodePageOrRefused)
{
    const auto gbk = [](const char* utf8) { return Tessor::CodePage::fromUtf8(utf8); };
    struct Labelled {
        std::string label;
        std::string written;  // "" when refused
    };
    const Labelled devices[] = {
        {gbk("数据盘ABCDEF"), gbk("数据盘ABCDE")}, {gbk("ABCDEFGHIJ中"), "ABCDEFGHIJ"}, {"Mixed-Case", "Mixed-Case"},
        {gbk("咫尺"), gbk("咫尺")}, {"A/B", ""}, {"V1.0", ""}, {" AB", ""},
    };
    const Station6716 station;
    const int ports = static_cast<int>(std::size(devices));
    Engine engine(ports, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    for (int port = 0; port < ports; ++port) {
        plugAndStart(engine, port, "Label" + std::to_string(port),
                     {{DISK_LOCAL, 100000, "first", false, devices[port].label},
                      {DISK_REMOVABLE, REST, "", false, "SECOND"}});
    }
    for (int port = 0; port < ports; ++port) {
        const Labelled& d = devices[port];
        SCOPED_TRACE(Tessor::CodePage::toUtf8(d.label));
        if (d.written.empty()) {
            expectFailed(engine, port, 0x8013, "volume label");
            for (OpKind write : {OpKind::Erase, OpKind::Program, OpKind::LogicalWrite}) {
                EXPECT_EQ(opsOf(engine, port, write), 0);
            }
        } else {
            expectBuilt(engine, port, {{LOCAL_FAT, 32, "first", d.written}, {REMOVABLE_FAT, 16, "", "SECOND"}});
        }
    }
}

// The encrypted layout produced by the factory at scan priority 0, which
// groups the planes into block mode, then plugged into a login station: the
// hidden unit opens with the device's password only, and a password change
// needs the current password.
class EngineLogin : public ::testing::Test {
protected:
    void SetUp() override
    {
        UsbConfiguration::instance()->setLoginIsoFile(Content::instance().path("login"));
        m_folder = EngineEnvironment::instance().makeDevice(
            "Login", {{"Device.FlashId", "ECD35195"}, {"Device.BlocksPerChip", "1024"}, {"Device.PagesPerBlock", "64"}});
        Engine factory(1, FUNCTION_FACTORY);
        Sptr<ConfigInfo> settings = settingsOf(factory, {{DISK_REMOVABLE, REST, "", true}}, 0);
        settings->getScanConfig()->setScanPriority(0);
        ASSERT_NO_FATAL_FAILURE(produce(factory, m_folder, settings));
        m_realCapacity = unsigned(factory.slot(0)->getConfigInfo()->getRealCapacity());
    }

    // A login request with `password` and `operation`, and where it ended.
    std::string login(Engine& engine, const std::string& password, int operation,
                      const std::string& newPassword = "")
    {
        Sptr<ConfigInfo> settings(new ConfigInfo(engine.ui().getConfigInfo()));
        settings->setPassword(password);
        settings->setNewPassword(newPassword);
        settings->setLoginOp(operation);
        const size_t before = engine.ui().reports(0).size();
        engine.start(0, settings);
        EXPECT_TRUE(test_support::waitUntil([&] { return engine.ui().reports(0).size() != before; }, ROAD_LIMIT))
            << "no report of the login run";
        return engine.waitRunEnded(0, ROAD_LIMIT);
    }

    void plug(Engine& engine)
    {
        ASSERT_TRUE(engine.ui().waitLayerReady());
        std::string error;
        ASSERT_EQ(engine.hub().plug(0, m_folder, &error), 0) << error;
        ASSERT_TRUE(engine.waitState(0, "StateWait")) << engine.stateOf(0);
    }

    std::vector<Tessor::taval::OpRecord> switches(Engine& engine)
    {
        std::vector<Tessor::taval::OpRecord> out;
        for (const Tessor::taval::OpRecord& op : engine.hub().device(0)->opLog()) {
            if (op.kind == OpKind::Switch) {
                out.push_back(op);
            }
        }
        return out;
    }

    const Station6716 m_station;
    std::string m_folder;
    unsigned m_realCapacity = 0;
};

constexpr int OPEN_HIDDEN = 1;

// Every copy of the system area is in block mode and holds the build
// information on the page the table names; a plug reads it there.
TEST_F(EngineLogin, APlugReadsTheBuildInformationOfTheBlockModeLayout)
{
    ASSERT_GT(m_realCapacity, 0u);
    const system_area::SystemArea area = system_area::read(m_folder);
    EXPECT_EQ(area.problems, std::vector<std::string>{});
    ASSERT_FALSE(area.copies.empty()) << area.error;
    for (const system_area::Copy& copy : area.copies) {
        constexpr size_t BLOCK_MODE_BYTE = 0x7F + 1;  // the 6716's code-control byte 1, bit 2
        EXPECT_NE(copy.table[BLOCK_MODE_BYTE] & 0x04, 0);
        EXPECT_EQ(copy.buildRecord.password, "open sesame");
        EXPECT_EQ(copy.buildRecord.realCapacity, m_realCapacity);
    }
    Engine engine(1, FUNCTION_LOGIN);
    ASSERT_NO_FATAL_FAILURE(plug(engine));
    const Sptr<Tessor::usb::BuildInfo> build = engine.slot(0)->getCfgTable()->getBuildInfo();
    EXPECT_STREQ(build->getPassword(), "open sesame");
    EXPECT_EQ(build->getRealCapacity(), m_realCapacity);
}

constexpr int CHANGE_PASSWORD = 3;

TEST_F(EngineLogin, HiddenUnitOpensWithTheRightPasswordOnly)
{
    Engine engine(1, FUNCTION_LOGIN);
    ASSERT_NO_FATAL_FAILURE(plug(engine));
    EXPECT_EQ(login(engine, "open sesame?", OPEN_HIDDEN), "StateError");
    EXPECT_TRUE(engine.ui().waitLastReport(0, {UI_SIG_STATUS, 0, 0x803e}));
    EXPECT_TRUE(switches(engine).empty());

    EXPECT_EQ(login(engine, "open sesame", OPEN_HIDDEN), "StateBuildOk");
    EXPECT_TRUE(engine.ui().waitLastReport(0, {UI_SIG_BUILD_OK, 0, 0}));
    // The hidden unit follows the login unit.
    const auto done = switches(engine);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].args[0], 1);
    EXPECT_TRUE(done[0].ok);
}

TEST_F(EngineLogin, PasswordChangeNeedsTheCurrentPassword)
{
    {
        Engine engine(1, FUNCTION_LOGIN);
        ASSERT_NO_FATAL_FAILURE(plug(engine));
        EXPECT_EQ(login(engine, "guess", CHANGE_PASSWORD, "new words"), "StateError");
        EXPECT_TRUE(engine.ui().waitLastReport(0, {UI_SIG_STATUS, 0, 0x803e}));
        const size_t progressBefore = engine.ui().progress(0).size();
        EXPECT_EQ(login(engine, "open sesame", CHANGE_PASSWORD, "new words"), "StateBuildOk");
        EXPECT_TRUE(engine.ui().waitLastReport(0, {UI_SIG_BUILD_OK, 0, 0}));
        // The new table is written in the high format, which ends there.
        engine.expectBarEndsAtTotal(0, progressBefore, "StateHighFormat", HIGH_FORMAT_TOTAL);
    }
    // The flash holds the new password, read without the tool's own reader;
    // plugged again, the device knows it.
    const system_area::SystemArea area = system_area::read(m_folder);
    EXPECT_EQ(area.problems, std::vector<std::string>{});
    ASSERT_FALSE(area.copies.empty()) << area.error;
    for (const system_area::Copy& copy : area.copies) {
        EXPECT_EQ(copy.buildRecord.password, "new words");
    }
    Engine engine(1, FUNCTION_LOGIN);
    ASSERT_NO_FATAL_FAILURE(plug(engine));
    EXPECT_EQ(login(engine, "open sesame", OPEN_HIDDEN), "StateError");
    EXPECT_EQ(login(engine, "new words", OPEN_HIDDEN), "StateBuildOk");
    ASSERT_EQ(switches(engine).size(), 1u);
    EXPECT_TRUE(switches(engine)[0].ok);
}

TEST_F(EngineLogin, FailedSwitchToTheHiddenUnitIsAnError)
{
    test_support::writeDeviceIni(m_folder, test_support::readDeviceIni(m_folder), {{"Faults.FailSwitch", "always"}});
    Engine engine(1, FUNCTION_LOGIN);
    ASSERT_NO_FATAL_FAILURE(plug(engine));
    EXPECT_EQ(login(engine, "open sesame", OPEN_HIDDEN), "StateError");
    EXPECT_TRUE(engine.ui().waitLastReport(0, {UI_SIG_STATUS, 0, 0x8030}));
}

}  // namespace
