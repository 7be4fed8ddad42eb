// The console tool as an operator runs it: started with a configuration
// file, a device plugged through the simulator's ports folder, stopped with
// a signal.
#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/CodeTree.h"
#include "support/DeviceIni.h"
#include "support/TempFolder.h"
#include "support/ToolProcess.h"

namespace {

namespace fs = std::filesystem;

using test_support::TempFolder;

// A one-chip device of 64 blocks of 16 pages of 4 sectors.
test_support::DeviceKeys smallDevice()
{
    return {{"Device.Variant", "6716"},       {"Device.Chips", "1"},           {"Device.BlocksPerChip", "64"},
            {"Device.PagesPerBlock", "16"},   {"Device.SectorsPerPage", "4"}, {"Device.FlashId", "ECD35195"}};
}

// The console tool running in a folder of its own, taking its devices from
// the folder's ports.
class Tool : public test_support::ToolProcess {
public:
    Tool(const std::string& folder, const std::vector<std::string>& arguments, rlim_t fileLimit = 0)
        : ToolProcess(folder, {{"TAVAL_PORTS", folder + "/ports"}}, program(TESSOR_TOOL, arguments), fileLimit)
    {
    }
};

const char* const STATION_CONFIG = "Display_Name string Tool Test\n"
                                   "Log_Level int 3\n"
                                   "LogFilename string tessor.log\n"
                                   "PlugIn list UsbMgr udisk\n"
                                   "Device_Count int 2\n"
                                   "FlashProfile string FlashChip.ini\n"
                                   "UserProfile string UserSetting.ini\n"
                                   "Mp3Profile string Mp3Config.ini\n"
                                   "ScanCode list 6716 releases/code/scan_6716.img\n"
                                   "UdiskCode list 6716 releases/code/udisk_6716.img\n"
                                   "CurrentFunction string UDiskFactory\n"
                                   "ChipSet string 6716\n"
                                   "SampleFile string ScanSample.dat\n";

// A factory station of two ports on the 6716 controller, its profiles taken
// from the samples.
void writeStation(const std::string& folder, const std::string& config = STATION_CONFIG)
{
    const std::string etc = std::string(TESSOR_SAMPLES) + "/releases/usr/etc";
    for (const char* file : {"FlashChip.ini", "UserSetting.ini", "Mp3Config.ini"}) {
        fs::copy_file(etc + "/" + file, folder + "/" + file);
    }
    code_test::makeTree(folder);
    std::ofstream(folder + "/station.cfg") << config;
    fs::create_directories(folder + "/ports");
    test_support::writeDeviceIni(folder + "/device", smallDevice());
}

// The station's configuration without the lines of `drop` and with `add` after it.
std::string stationWith(const std::string& drop, const std::string& add)
{
    std::string config;
    std::istringstream lines(STATION_CONFIG);
    for (std::string line; std::getline(lines, line);) {
        if (drop.empty() || line.compare(0, drop.size(), drop) != 0) {
            config += line + "\n";
        }
    }
    return config + add;
}

TEST(TessorToolTest, RunsAStationUntilStoppedAndEndsCleanly)
{
    TempFolder folder;
    writeStation(folder.path());
    Tool tool(folder.path(), {"-f", "station.cfg"});
    ASSERT_TRUE(tool.waitFor("Ready\n")) << tool.output();
    ASSERT_TRUE(tool.waitFor("- LAYER_READY")) << tool.output();
    fs::create_directory_symlink(folder.path() + "/device", folder.path() + "/ports/port0");
    EXPECT_TRUE(tool.waitFor("UDISK-0 FOUND: Find new USB device of '")) << tool.output();
    EXPECT_TRUE(tool.waitFor("ID=ECD35195 do not format,modify configuration or click to begin the product process!\n"))
        << tool.output();
    tool.signal(SIGTERM);
    EXPECT_EQ(tool.wait(), 0) << tool.errors();
    EXPECT_NE(tool.output().find("shutdown procedure is called"), std::string::npos);
}

// A flash-chip table entry too large for the disk's sector count fails the
// identification with its code and says why in the log.
TEST(TessorToolTest, OversizedFlashGeometryFailsIdentification)
{
    TempFolder folder;
    writeStation(folder.path());
    std::ofstream(folder.path() + "/FlashChip.ini") << "[ECD35195]\nPartNumber=HUGE\nBlockPerChip=2147483647\n"
                                                    << "PagePerBlock=2147483647\nSectorPerPage=2147483647\n";
    Tool tool(folder.path(), {"-f", "station.cfg"});
    ASSERT_TRUE(tool.waitFor("- LAYER_READY")) << tool.output();
    fs::create_directory_symlink(folder.path() + "/device", folder.path() + "/ports/port0");
    EXPECT_TRUE(tool.waitFor("UDISK-0 STATUS: Some errors found:Can not detect flash id!(0x8006),")) << tool.output();
    tool.signal(SIGTERM);
    EXPECT_EQ(tool.wait(), 0) << tool.errors();
    std::ifstream in(folder.path() + "/tessor.log");
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find("Flash part 'HUGE' of UDISK-0 is too large"), std::string::npos) << log;
}

const int START_FAILED = 3;

// A station that cannot start ends at once, says why on standard error and
// ends with a status that is neither success nor the login tool's 1.
TEST(TessorToolTest, BrokenConfigurationsEndWithTheirCause)
{
    const std::string deviceLayer = "some error in device management";
    struct Case {
        std::vector<std::string> arguments;
        std::string config;
        std::string told;
        std::string printed;
    };
    const std::vector<Case> cases = {
        {{}, STATION_CONFIG, "No configuration file is found!", ""},
        {{"-fmissing.cfg"}, STATION_CONFIG, "can not open ", ""},
        {{"-f", "ports"}, STATION_CONFIG, "ports: is a folder, not a file", ""},
        {{"-f", "fifo.cfg"}, STATION_CONFIG, "fifo.cfg: is not a regular file", ""},
        {{"-f", "station.cfg"}, "", "station.cfg: no PlugIn line names a device library", deviceLayer},
        {{"-f", "station.cfg"}, stationWith("PlugIn", ""), "no PlugIn line names a device library", deviceLayer},
        {{"-f", "station.cfg"}, stationWith("PlugIn", "PlugIn list UsbMgr\n"),
         "station.cfg line 13: tag PlugIn needs two words", deviceLayer},
        {{"-f", "station.cfg"}, stationWith("Device_Count", "Device_Count int 0\n"),
         "tag Device_Count '0' is not a port count of 1..64", deviceLayer},
        {{"-f", "station.cfg"}, stationWith("Device_Count", "Device_Count int -1\n"),
         "tag Device_Count '-1' is not a port count of 1..64", deviceLayer},
        {{"-f", "station.cfg"}, stationWith("Device_Count", "Device_Count int 65\n"),
         "tag Device_Count '65' is not a port count of 1..64", deviceLayer},
        {{"-f", "station.cfg"}, stationWith("Device_Count", "Device_Count int 0x10\n"),
         "station.cfg line 13: value '0x10' of tag Device_Count is not a decimal number", deviceLayer},
        {{"-f", "station.cfg"}, stationWith("Device_Count", "Device_Count int 1000000\n"),
         "tag Device_Count '1000000' is not a port count of 1..64", deviceLayer},
        {{"-f", "station.cfg"}, stationWith("SampleFile", "SampleFile string gone/ScanSample.dat\n"),
         "tag SampleFile 'gone/ScanSample.dat' names no file in an existing folder", deviceLayer},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        writeStation(folder.path(), c.config);
        ASSERT_EQ(0, mkfifo((folder.path() + "/fifo.cfg").c_str(), 0600));
        Tool tool(folder.path(), c.arguments);
        EXPECT_EQ(tool.wait(std::chrono::seconds(20)), START_FAILED) << c.told;
        EXPECT_NE(tool.errors().find(c.told), std::string::npos) << tool.errors();
        EXPECT_NE(tool.output().find(c.printed), std::string::npos) << tool.output();
        EXPECT_EQ(tool.errors().find("Assert"), std::string::npos) << tool.errors();
    }
}

// Failures past the configuration check end the station the same way: the
// cause on standard error, the start-up status, and no half-written file.
TEST(TessorToolTest, StartUpFailuresAfterTheConfigurationCheckEndWithTheirCause)
{
    struct Case {
        const char* name;
        const char* removed;
        rlim_t fileLimit;
        const char* told;
    };
    const Case cases[] = {
        {"firmware image gone", "releases/code/udisk_6716.img", 0,
         "firmware image 'releases/code/udisk_6716.img' cannot be read"},
        {"code folder gone", "releases/code", 0, "firmware image 'releases/code/scan_6716.img' cannot be read"},
        {"disk full", "", 1 << 20, "scan sample file 'ScanSample.dat' cannot be written: File too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        writeStation(folder.path());
        if (*c.removed != '\0') {
            fs::remove_all(folder.path() + "/" + c.removed);
        }
        Tool tool(folder.path(), {"-f", "station.cfg"}, c.fileLimit);
        EXPECT_EQ(tool.wait(std::chrono::seconds(20)), START_FAILED) << tool.errors();
        EXPECT_NE(tool.errors().find(c.told), std::string::npos) << tool.errors();
        EXPECT_EQ(tool.errors().find("Assert"), std::string::npos) << tool.errors();
        for (const fs::directory_entry& entry : fs::directory_iterator(folder.path())) {
            EXPECT_NE(entry.path().filename().string().rfind("ScanSample.dat", 0), 0u) << entry.path();
        }
    }
}

// Values the station can do without are told with file, line and tag, and
// the station runs on with their defaults.
TEST(TessorToolTest, ToldValuesLetTheStationRun)
{
    const std::string told = "Log_Level int 11\nBogus_Tag string x\nVersion string 0102030\n";
    TempFolder folder;
    writeStation(folder.path(), std::string(STATION_CONFIG) + told);
    Tool tool(folder.path(), {"-f", "station.cfg"});
    ASSERT_TRUE(tool.waitFor("- LAYER_READY")) << tool.output();
    tool.signal(SIGTERM);
    EXPECT_EQ(tool.wait(), 0);
    for (const char* text : {"station.cfg line 14: value '11' of tag Log_Level is outside 0..10, level 4 used",
                             "station.cfg line 15: unknown tag Bogus_Tag, line ignored",
                             "station.cfg line 16: value '0102030' of tag Version is not up to four pairs",
                             "station.cfg: Tag User_Name is missing, default used"}) {
        EXPECT_NE(tool.errors().find(text), std::string::npos) << text << "\n" << tool.errors();
    }
    // The log holds them too.
    std::ifstream in(folder.path() + "/tessor.log");
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find("unknown tag Bogus_Tag, line ignored"), std::string::npos) << log;
}

// The photo-frame pictures and fonts are read for each device, not at
// start-up: a station without them runs, and its log names what is missing.
TEST(TessorToolTest, PhotoFrameStationWithoutItsPicturesRuns)
{
    TempFolder folder;
    writeStation(folder.path(), std::string(STATION_CONFIG) + "DpfSupport bool True\nDpfProfile string DpfConfig.ini\n");
    fs::copy_file(std::string(TESSOR_SAMPLES) + "/releases/usr/etc/DpfConfig.ini", folder.path() + "/DpfConfig.ini");
    Tool tool(folder.path(), {"-f", "station.cfg"});
    ASSERT_TRUE(tool.waitFor("- LAYER_READY")) << tool.output() << tool.errors();
    tool.signal(SIGTERM);
    EXPECT_EQ(tool.wait(), 0) << tool.errors();
    EXPECT_EQ(tool.errors().find("Assert"), std::string::npos) << tool.errors();
    std::ifstream in(folder.path() + "/tessor.log");
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find("SNUM.img' init failed"), std::string::npos) << log;
}

// Every file of a folder with its size and modification time.
std::string folderState(const std::string& folder)
{
    std::ostringstream state;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        struct stat st = {};
        ::lstat(entry.path().c_str(), &st);
        state << entry.path().string() << ' ' << st.st_size << ' ' << st.st_mtim.tv_sec << '.'
              << st.st_mtim.tv_nsec << '\n';
    }
    return state.str();
}

// A value the station cannot honour stops it before the device library
// starts: the device plugged in beforehand is never touched.
TEST(TessorToolTest, RefusedValuesStopTheStationBeforeAnyDevice)
{
    struct Case {
        std::string drop;
        std::string add;
        std::string told;
    };
    const std::vector<Case> cases = {
        {"CurrentFunction", "CurrentFunction string UDiskFactroy\n",
         "line 13: value 'UDiskFactroy' of tag CurrentFunction is none of UDiskFactory, UDiskUser, Kelvo"},
        {"ChipSet", "ChipSet string 9999\n", "line 13: value '9999' of tag ChipSet names no controller"},
        {"", "CfgTableCount int 0\n", "line 14: value '0' of tag CfgTableCount is outside 1..16"},
        {"", "CfgTableCount int -1\n", "line 14: value '-1' of tag CfgTableCount is outside 1..16"},
        {"", "CfgTableCount int 99999\n", "line 14: value '99999' of tag CfgTableCount is outside 1..16"},
        {"", "Log_Size int 99999999999\n", "line 14: value '99999999999' of tag Log_Size is outside 64..2097151"},
        {"", "Timeout int 30s\n", "line 14: value '30s' of tag Timeout is not a decimal number"},
        {"", "WatchDog_Time int -1\n", "line 14: value '-1' of tag WatchDog_Time is outside 0..2147483647"},
        {"", "DpfSupport bool true\n", "line 14: value 'true' of tag DpfSupport is neither True nor False"},
        {"UdiskCode", "UdiskCode list 6761 releases/code/udisk_6716.img\n",
         "line 13: chip '6761' of tag UdiskCode names no controller"},
        {"FlashProfile", "FlashProfile string FlashChip.in\n",
         "line 13: tag FlashProfile 'FlashChip.in' names no file the station can read"},
        {"UserProfile", "UserProfile string ports\n", "line 13: tag UserProfile 'ports' names no file"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        writeStation(folder.path(), stationWith(c.drop, c.add));
        fs::create_directory_symlink(folder.path() + "/device", folder.path() + "/ports/port0");
        const std::string before = folderState(folder.path() + "/device");
        Tool tool(folder.path(), {"-f", "station.cfg"});
        EXPECT_EQ(tool.wait(std::chrono::seconds(20)), START_FAILED) << c.told;
        EXPECT_NE(tool.errors().find("station.cfg " + c.told), std::string::npos) << tool.errors();
        EXPECT_EQ(tool.output().find("LAYER_READY"), std::string::npos) << tool.output();
        EXPECT_EQ(before, folderState(folder.path() + "/device")) << c.told;
    }
}

// The whole of a file.
std::string contentOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A device of the whole 128 MiB the flash-chip table gives its part, so a
// road goes as far as the partitions.
void writeWholeDevice(const std::string& folder)
{
    test_support::writeDeviceIni(folder, smallDevice(), {{"Device.BlocksPerChip", "1024"}, {"Device.PagesPerBlock", "64"}});
}

// The station's user profile with the keys given their values.
void setProfile(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& values)
{
    std::string profile = contentOf(folder + "/UserSetting.ini");
    for (const auto& [key, value] : values) {
        const size_t at = profile.find("\n" + key + "=") + 1;
        profile.replace(at, profile.find('\n', at) - at, key + "=" + value);
    }
    std::ofstream(folder + "/UserSetting.ini") << profile;
}

// A profile value no device can be built with fails the device when it is
// started, with its code and a report that says what is wrong.
TEST(TessorToolTest, RefusedProfileValuesFailTheDeviceAndSayWhy)
{
    struct Case {
        std::vector<std::pair<std::string, std::string>> profile;
        std::string told;
        std::string status = "Partition Capacity Is Too Small!(0x8020) ";
    };
    const std::vector<Case> cases = {
        {{{"PtnCapacity0", "-5"}}, "UserSetting.ini: PtnCapacity0=-5 is not a partition size"},
        // Numbers past 32 bits are told as given, cut, not as what they wrap to.
        {{{"PtnCapacity0", std::string(100000, '9')}},
         "UserSetting.ini: PtnCapacity0=" + std::string(32, '9') + "... is not a partition size"},
        {{{"PtnCapacity0", "4294969344"}}, "UserSetting.ini: PtnCapacity0=4294969344 is not a partition size"},
        {{{"PtnCapacity0", "2048"}, {"PtnType0", "7"}}, "UserSetting.ini: PtnType0=7 is not a disk type"},
        // A CD-ROM unit keeps its size when the others are fitted to the device.
        {{{"PtnCapacity0", "524288"}, {"PtnType0", "2"}}, "the partitions are too large for the device's "},
        // Kept as given, as partitions before the last are when each keeps its size.
        {{{"capacityPolicy", "1"}, {"PtnCapacity0", "56"}, {"PtnCapacity1", "20000"}},
         "partition 0 of 56 sectors is too small for its file system"},
        {{{"VolumeLabel0", "A:B"}},
         "UserSetting.ini: VolumeLabel0=A:B volume label \"A:B\" holds ':', which FAT does not allow in a label",
         "Create File System Failed!(0x8013) "},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        writeStation(folder.path());
        setProfile(folder.path(), c.profile);
        writeWholeDevice(folder.path() + "/device");
        Tool tool(folder.path(), {"-f", "station.cfg"});
        ASSERT_TRUE(tool.waitFor("- LAYER_READY")) << tool.output();
        fs::create_directory_symlink(folder.path() + "/device", folder.path() + "/ports/port0");
        EXPECT_TRUE(tool.waitFor("UDISK-0 STATUS: Some errors found:" + c.status)) << tool.output();
        tool.signal(SIGTERM);
        EXPECT_EQ(tool.wait(), 0) << tool.errors();
        EXPECT_NE(tool.output().find(c.told), std::string::npos) << tool.output();
        EXPECT_NE(contentOf(folder.path() + "/tessor.log").find(c.told), std::string::npos) << c.told;
    }
}

// Plugs `device` into port 0 of the station running in `folder`, waits
// until it is built and stops the station.
void buildAndStop(Tool& tool, const std::string& folder, const std::string& device)
{
    ASSERT_TRUE(tool.waitFor("- LAYER_READY")) << tool.output();
    fs::create_directory_symlink(device, folder + "/ports/port0");
    EXPECT_TRUE(tool.waitFor("UDISK-0 BUILD_OK", std::chrono::seconds(120))) << tool.output();
    tool.signal(SIGTERM);
    EXPECT_EQ(tool.wait(), 0) << tool.errors();
}

// A device with an encrypted unit built at the most verbose log level: the
// password is in the user profile and nowhere else of the station, and what
// the station leaves beside its log is the operator's alone.
TEST(TessorToolTest, EncryptedUnitLeavesItsPasswordOnlyInTheProfile)
{
    const std::string password = "Sesame-4711";
    TempFolder folder;
    TempFolder devices;
    writeStation(folder.path(), stationWith("LogFilename", "LogFilename string logs/tessor.log\n"
                                                           "LoginFile string login\n") +
                                    "Log_Level int 10\n");
    fs::create_directories(folder.path() + "/logs");
    fs::create_directories(folder.path() + "/login");
    std::ofstream(folder.path() + "/login/readme.txt") << "login tool\n";
    setProfile(folder.path(), {{"autoStart", "1"}, {"PtnCapacity0", "65536"}, {"PtnEncrypt0", "1"},
                               {"Password", password}});
    const std::string device = devices.path() + "/device";
    writeWholeDevice(device);
    Tool tool(folder.path(), {"-f", "station.cfg"});
    buildAndStop(tool, folder.path(), device);
    EXPECT_EQ(tool.output().find(password), std::string::npos);
    EXPECT_EQ(tool.errors().find(password), std::string::npos);
    int dumps = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder.path())) {
        if (!entry.is_regular_file() || entry.path().filename() == "UserSetting.ini") {
            continue;
        }
        EXPECT_EQ(contentOf(entry.path()).find(password), std::string::npos) << entry.path();
        if (entry.path().parent_path() == folder.path() + "/logs" && entry.path().extension() != ".log") {
            ++dumps;
            struct stat st = {};
            ASSERT_EQ(::stat(entry.path().c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0600u) << entry.path();
        }
    }
    EXPECT_GT(dumps, 0);
    EXPECT_NE(contentOf(folder.path() + "/UserSetting.ini").find(password), std::string::npos);
}

// The diagnostic copies a device's road leaves beside the log (its bitmaps,
// its tables) are each replaced whole: when the log's disk is full by the
// next device, every copy of the device before is still there as it was.
// The disk is a small file system of the test's own, mounted where only
// this process and its children see it.
TEST(TessorToolTest, DiagnosticCopiesSurviveAFullDisk)
{
    TempFolder folder;
    TempFolder devices;
    const std::string logs = folder.path() + "/logs";
    fs::create_directories(logs);
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", logs.c_str(), "tmpfs", 0, "size=1m") != 0) {
        GTEST_SKIP() << "no file system of the test's own can be mounted: " << std::strerror(errno);
    }
    struct Unmount {
        const std::string& at;
        ~Unmount() { umount2(at.c_str(), MNT_DETACH); }
    } unmount{logs};
    writeStation(folder.path(), stationWith("LogFilename", "LogFilename string logs/tessor.log\n"));
    setProfile(folder.path(), {{"autoStart", "1"}});
    const char* const names[] = {"ScanBitmap", "MyDevice0Bitmap", "0_ConfigTable", "0_DefaultCfgTable"};
    std::map<std::string, std::string> copies;
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full ? "full" : "free");
        if (full) {
            std::ofstream filler(logs + "/filler", std::ios::binary);
            const std::string block(4096, 'x');
            while (filler.write(block.data(), block.size())) {
            }
        }
        // The second device has twice the flash, so its bitmaps need more
        // room than the first one's copies would leave when cut.
        const std::string device = devices.path() + (full ? "/second" : "/first");
        test_support::writeDeviceIni(device, smallDevice(),
                                     {{"Device.BlocksPerChip", "1024"}, {"Device.PagesPerBlock", "64"},
                                      {"Device.Chips", full ? "2" : "1"}});
        Tool tool(folder.path(), {"-f", "station.cfg"});
        buildAndStop(tool, folder.path(), device);
        fs::remove(folder.path() + "/ports/port0");
        for (const char* name : names) {
            const std::string copy = contentOf(logs + "/" + name);
            if (!full) {
                EXPECT_FALSE(copy.empty()) << name;
                copies[name] = copy;
            } else {
                EXPECT_EQ(copy, copies[name]) << name;
            }
        }
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(logs)) {
        EXPECT_TRUE(entry.path().filename() == "tessor.log" || entry.path().filename() == "filler" ||
                    copies.count(entry.path().filename().string()) != 0)
            << entry.path();
    }
}

// A busy station stopped by the operator: every port mid-identification when
// the signal comes, and the tool gone within seconds.
TEST(TessorToolTest, TwentyDevicesMidIdentificationExitWithinFiveSecondsOfSigterm)
{
    constexpr int PORTS = 20;
    TempFolder folder;
    writeStation(folder.path(), stationWith("Device_Count", "Device_Count int " + std::to_string(PORTS) + "\n"));
    for (int port = 0; port < PORTS; ++port) {
        const std::string device = folder.path() + "/device" + std::to_string(port);
        // Timed like real flash, so identification is still running below.
        test_support::writeDeviceIni(device, smallDevice(),
                                     {{"Device.Timing", "realistic"}, {"Device.Drive", "SIM" + std::to_string(port)}});
    }
    Tool tool(folder.path(), {"-f", "station.cfg"});
    ASSERT_TRUE(tool.waitFor("- LAYER_READY")) << tool.output();
    for (int port = 0; port < PORTS; ++port) {
        fs::create_directory_symlink(folder.path() + "/device" + std::to_string(port),
                                     folder.path() + "/ports/port" + std::to_string(port));
    }
    ASSERT_TRUE(tool.waitFor(" FOUND: ")) << tool.output();
    const auto signalled = std::chrono::steady_clock::now();
    tool.signal(SIGTERM);
    EXPECT_EQ(tool.wait(std::chrono::seconds(30)), 0) << tool.errors();
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(5));
    EXPECT_NE(tool.output().find("shutdown procedure is called"), std::string::npos);
}

}  // namespace
