// Partitions written by the high-level format into a simulated device's
// logical disk, checked by the standard FAT, partition and ISO tools.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "schema/base/DeviceCode.h"
#include "support/OutsideTools.h"
#include "SimulatedDevice.h"
#include "support/TempFolder.h"
#include "platform/taval/DeviceDescription.h"
#include "schema/device/FatParameters.h"
#include "schema/device/FileSystemDbr.h"
#include "schema/device/FileSystemFactory.h"
#include "schema/device/VolumeLabel.h"
#include "platform/orrin/CodePage.h"

using Tessor::schema::DeviceCode;
using Tessor::schema::FatParameters;
using Tessor::schema::FileSystemDbr;
using Tessor::schema::FileSystemFactory;
using Tessor::schema::PartInfo;
using Tessor::schema::VolumeLabel;
using test_support::runTool;

namespace {

Sptr<PartInfo> partition(uint32_t capacity, int diskType, int index, const std::string& label = "DATA")
{
    Sptr<PartInfo> part(new PartInfo(static_cast<int>(capacity)));
    part->setDiskType(diskType);
    part->setPartitionIndex(index);
    part->setVolumeLabel(label);
    return part;
}

struct Layout {
    uint32_t capacity;
    int diskType;
    int type;  // expected file system
    int sectorsPerCluster;
    int sectorsPerFat;  // -1: not stated
    int rootEntries;    // -1: not stated
    int rootSectors;    // -1: not stated
};

std::ostream& operator<<(std::ostream& out, const Layout& l)
{
    return out << l.capacity << (l.diskType == Tessor::schema::DISK_LOCAL ? " local" : " removable");
}

// One partition at logical sector 0 of a device whose logical disk is just
// that large.
class Volume : public SimulatedDevice, public ::testing::WithParamInterface<Layout> {
protected:
    void SetUp() override
    {
        logicalSectors = GetParam().capacity;
        SimulatedDevice::SetUp();
    }

    std::string logicalFile() const { return (folder / Tessor::taval::LOGICAL_FILE).string(); }
};

TEST_P(Volume, ParametersMapEveryClusterAndFsckAcceptsTheVolume)
{
    const Layout& l = GetParam();
    Sptr<PartInfo> part = partition(l.capacity, l.diskType, 0);
    ASSERT_EQ(part->getFileSystemType(), l.type);
    const uint32_t hidden = part->getIsLocalDisk() ? PartInfo::MBR_HIDDEN_SECTORS : 0;
    const FatParameters p = FatParameters::compute(l.type, l.capacity, hidden);
    EXPECT_TRUE(p.mapsEveryCluster()) << p.clusterCount() << " clusters, " << p.fatEntries() << " entries";
    const uint32_t clusters = p.clusterCount();
    switch (l.type) {
    case FatParameters::FAT12:
        EXPECT_LT(clusters, 4085u);
        break;
    case FatParameters::FAT16:
        EXPECT_GE(clusters, 4085u);
        EXPECT_LT(clusters, 65525u);
        break;
    default:
        EXPECT_GE(clusters, 65525u);
    }
    EXPECT_EQ(p.sectorsPerCluster, l.sectorsPerCluster);
    if (l.sectorsPerFat >= 0) {
        EXPECT_EQ(p.sectorsPerFat, uint32_t(l.sectorsPerFat));
    }
    if (l.rootEntries >= 0) {
        EXPECT_EQ(p.rootEntries, l.rootEntries);
        EXPECT_EQ(p.rootSectors, l.rootSectors);
    }

    FileSystemFactory factory(device);
    ASSERT_EQ(factory.formatOnePartition(part), 0);
    EXPECT_EQ(factory.getCurrentSector(), l.capacity);
    test_support::TempFolder out;
    const std::string image = out.path() + "/volume.img";
    ASSERT_TRUE(test_support::cutImage(logicalFile(), hidden, l.capacity - hidden, image));
    // Every FAT begins with the boot sector's media byte.
    std::ifstream volume(image, std::ios::binary);
    std::vector<char> boot(512);
    volume.read(boot.data(), 512);
    const uint16_t reserved = uint16_t(uint8_t(boot[14]) | uint8_t(boot[15]) << 8);
    volume.seekg(std::streamoff(reserved) * 512);
    EXPECT_EQ(volume.get(), uint8_t(boot[21]));
    const auto fsck = runTool("fsck.fat -n -v " + image);
    EXPECT_EQ(fsck.status, 0) << fsck.output;
    if (hidden != 0) {
        const auto sfdisk = runTool("sfdisk -V " + logicalFile());
        EXPECT_EQ(sfdisk.status, 0) << sfdisk.output;
    }
    const auto mdir = runTool("mdir -i " + image + " ::");
    EXPECT_EQ(mdir.status, 0) << mdir.output;
    EXPECT_NE(mdir.output.find("Volume in drive : is DATA"), std::string::npos) << mdir.output;
}

constexpr int LOCAL = Tessor::schema::DISK_LOCAL;
constexpr int REMOVABLE = Tessor::schema::DISK_REMOVABLE;
constexpr int FAT12 = FatParameters::FAT12;
constexpr int FAT16 = FatParameters::FAT16;
constexpr int FAT32 = FatParameters::FAT32;

INSTANTIATE_TEST_SUITE_P(
    Sizes, Volume,
    ::testing::Values(
        // The worked examples; the 8000-sector FAT12 volume takes 2 sectors per
        // cluster, as 1 would give more clusters than FAT12 can hold.
        Layout{1000000, REMOVABLE, FAT16, 16, 248, 7680, 480}, Layout{8000000, LOCAL, FAT32, 8, 7800, 62464, 3904},
        Layout{8000, REMOVABLE, FAT12, 2, 16, 512, 32},
        // Where FAT12 runs out of clusters, and where the formula's FAT is short.
        Layout{4156, REMOVABLE, FAT12, 1, 16, -1, -1}, Layout{4157, REMOVABLE, FAT12, 2, -1, -1, -1},
        Layout{8400, REMOVABLE, FAT12, 4, -1, -1, -1}, Layout{8401, REMOVABLE, FAT16, 2, -1, -1, -1},
        Layout{12374, REMOVABLE, FAT16, 2, 32, -1, -1}, Layout{4194304, REMOVABLE, FAT16, 64, -1, -1, -1},
        // A small first partition of a local disk is FAT32 only with enough clusters.
        Layout{8000, LOCAL, FAT12, 2, -1, -1, -1}, Layout{66643, LOCAL, FAT16, 4, -1, -1, -1},
        Layout{66644, LOCAL, FAT32, 1, 512, -1, -1}, Layout{3915776, LOCAL, FAT32, 8, -1, -1, -1},
        Layout{7831552, LOCAL, FAT32, 8, -1, -1, -1}, Layout{15663104, LOCAL, FAT32, 8, -1, -1, -1},
        Layout{31293440, LOCAL, FAT32, 16, -1, -1, -1}));

// Labels are narrow texts of the code page: cut at 11 bytes before a
// double-byte character that would not fit whole, blank-padded, named when
// empty; what FAT does not allow in a label is refused.
TEST(BootSector, LabelIsElevenBytesOfTheCodePage)
{
    const auto gbk = [](const char* utf8) { return Tessor::CodePage::fromUtf8(utf8); };
    const std::pair<std::string, std::string> fields[] = {
        {"", "NO NAME    "},
        {"login", "login      "},
        {"ABCDEFGHIJKLM", "ABCDEFGHIJK"},
        {gbk("数据盘ABCDEF"), gbk("数据盘ABCDE")},
        {gbk("ABCDEFGHIJ中"), "ABCDEFGHIJ "},
        {gbk("中文标签五六"), gbk("中文标签五") + " "},
        {"#$%&'()-@^_", "#$%&'()-@^_"},
    };
    for (const auto& [label, field] : fields) {
        const VolumeLabel v(label);
        EXPECT_EQ(v.refusal(), "") << label;
        EXPECT_EQ(v.field(), field) << label;
    }
    for (const std::string& refused : {std::string("A/B"), std::string("A.B"), std::string("A+B"),
                                       std::string("a\\b"), std::string("A\"B"), std::string("A|B"),
                                       std::string(" AB"), std::string("A\tB"), std::string("AB\xD6")}) {
        EXPECT_NE(VolumeLabel(refused).refusal(), "") << refused;
    }
    // A trail byte that looks like a forbidden character belongs to its
    // double-byte character.
    EXPECT_EQ(VolumeLabel("\x81\x5C").refusal(), "");
}

}  // namespace

namespace {

// A small device whose unwritten logical sectors read 0x00 or 0xFF.
class SmallDisk : public SimulatedDevice, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        logicalSectors = 140000;
        extraKeys = faults;
        extraKeys["Device.LogicalFill"] = std::to_string(GetParam());
        SimulatedDevice::SetUp();
    }

    // The logical disk as the device shows it, unwritten sectors included.
    std::string exported()
    {
        const std::string path = out.path() + "/disk.img";
        std::string error;
        EXPECT_TRUE(hub->device(0)->exportLogical(path, &error)) << error;
        return path;
    }

    std::string cut(const std::string& disk, int64_t first, int64_t sectors, const char* name)
    {
        const std::string path = out.path() + "/" + name;
        EXPECT_TRUE(test_support::cutImage(disk, first, sectors, path));
        return path;
    }

    test_support::DeviceKeys faults;
    test_support::TempFolder out;
};

TEST_P(SmallDisk, CdromUnitThenRemovableDiskFollowEachOther)
{
    const std::string content = out.path() + "/iso";
    std::filesystem::create_directories(content);
    std::ofstream(content + "/readme.txt") << "login content\n";
    const std::string iso = out.path() + "/login.iso";
    ASSERT_EQ(runTool("xorriso -as mkisofs -quiet -V LOGIN -o " + iso + " " + content).status, 0);

    Sptr<PartInfo> cdrom = partition(20000, Tessor::schema::DISK_CDROM, 0);
    cdrom->setCopyPath(iso);
    Sptr<PartInfo> disk = partition(100000, REMOVABLE, 1, "login");
    FileSystemFactory factory(device);
    ASSERT_EQ(factory.formatOnePartition(cdrom), 0);
    ASSERT_EQ(factory.formatOnePartition(disk), 0);
    EXPECT_EQ(factory.getCurrentSector(), 120000u);

    const std::string image = exported();
    const std::string unit0 = cut(image, 0, 20000, "unit0.img");
    EXPECT_EQ(runTool("cmp -n $(stat -c%s " + iso + ") " + unit0 + " " + iso).status, 0);
    const auto listing = runTool("xorriso -indev " + unit0 + " -find / -type f");
    EXPECT_NE(listing.output.find("readme.txt"), std::string::npos) << listing.output;
    const std::string unit1 = cut(image, 20000, 100000, "unit1.img");
    const auto fsck = runTool("fsck.fat -n -v " + unit1);
    EXPECT_EQ(fsck.status, 0) << fsck.output;

    // Files copied onto the drive land in the volume and read back equal.
    const std::string files = out.path() + "/files";
    std::filesystem::create_directories(files + "/sub");
    std::ofstream(files + "/a.txt") << "first file";
    std::ofstream(files + "/sub/Long File Name.bin") << std::string(5000, 'x');
    FileSystemFactory only(device);
    Sptr<PartInfo> whole = partition(140000, REMOVABLE, 0);
    ASSERT_EQ(only.formatOnePartition(whole), 0);
    EXPECT_NE(copyDirectory2Flash(files.c_str(), "SIMD:", 1), 0);
    const std::string copied = cut(exported(), 0, 140000, "copied.img");
    EXPECT_EQ(runTool("fsck.fat -n " + copied).status, 0);
    const std::string back = out.path() + "/back";
    std::filesystem::create_directories(back);
    EXPECT_EQ(runTool("mcopy -s -n -i " + copied + " ::/ " + back + "/").status, 0);
    const auto diff = runTool("diff -r " + back + " " + files);
    EXPECT_EQ(diff.status, 0) << diff.output;
    EXPECT_EQ(copyDirectory2Flash(files.c_str(), "NONE:", 1), 0);
}

TEST_P(SmallDisk, LocalDiskPartitionsEachGetTheirOwnMasterBootRecord)
{
    FileSystemFactory factory(device);
    ASSERT_EQ(factory.formatOnePartition(partition(100000, LOCAL, 0)), 0);
    ASSERT_EQ(factory.formatOnePartition(partition(40000, LOCAL, 1)), 0);
    const std::string image = exported();
    for (auto [first, sectors] : {std::pair<int64_t, int64_t>{0, 100000}, {100000, 40000}}) {
        const std::string unit = cut(image, first, sectors, "unit.img");
        const auto sfdisk = runTool("sfdisk -V " + unit);
        EXPECT_EQ(sfdisk.status, 0) << sfdisk.output;
        const std::string volume = cut(unit, 63, sectors - 63, "volume.img");
        const auto fsck = runTool("fsck.fat -n -v " + volume);
        EXPECT_EQ(fsck.status, 0) << fsck.output;
        EXPECT_EQ(runTool("mdir -i " + unit + "@@32256 ::").status, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Fills, SmallDisk, ::testing::Values(0x00, 0xFF));

struct Failure {
    const char* name;
    const char* rule;
    int diskType;
    const char* iso;  // "missing", "large", "empty" or ""
    int expected;
};

class FailingStep : public SmallDisk {};

// A failing write or read stops the partition with its step's code; a CD-ROM
// image that is missing or does not fit fails, an empty one writes nothing.
TEST_P(FailingStep, GivesTheStepsCode)
{
    const Failure cases[] = {
        {"MBR write", "FailLogicalWrite=1", LOCAL, "", -DeviceCode::MBR_BUILD_FAILED},
        {"DBR write", "FailLogicalWrite=1", REMOVABLE, "", -DeviceCode::DBR_BUILD_FAILED},
        {"FAT write", "FailLogicalWrite=2", REMOVABLE, "", -DeviceCode::FAT_BUILD_FAILED},
        {"second FAT", "FailLogicalWrite=3", REMOVABLE, "", -DeviceCode::FAT_BUILD_FAILED},
        {"FAT read", "FailLogicalRead=2", REMOVABLE, "", -DeviceCode::FAT_BUILD_FAILED},
        {"root write", "FailLogicalWrite=4", REMOVABLE, "", -DeviceCode::ROOT_DIR_BUILD_FAILED},
        {"ISO write", "FailLogicalWrite=1", Tessor::schema::DISK_CDROM, "small", -DeviceCode::CDROM_BUILD_FAILED},
        {"ISO missing", "", Tessor::schema::DISK_CDROM, "missing", -DeviceCode::CDROM_BUILD_FAILED},
        {"ISO too large", "", Tessor::schema::DISK_CDROM, "large", -DeviceCode::CDROM_BUILD_FAILED},
        {"ISO empty", "", Tessor::schema::DISK_CDROM, "empty", 0},
    };
    for (const Failure& c : cases) {
        SCOPED_TRACE(c.name);
        // Each case on a fresh device with its rule.
        TearDown();
        faults = test_support::faultRule(c.rule);
        SetUp();
        Sptr<PartInfo> part = partition(8401, c.diskType, 0);
        const std::string iso = out.path() + "/unit.iso";
        std::filesystem::remove(iso);
        if (std::string(c.iso) == "small") {
            std::ofstream(iso) << std::string(1000, 'i');
        } else if (std::string(c.iso) == "large") {
            std::ofstream(iso) << std::string(8401 * 512 + 1, 'i');
        } else if (std::string(c.iso) == "empty") {
            std::ofstream{iso};
        }
        part->setCopyPath(iso);
        FileSystemFactory factory(device);
        EXPECT_EQ(factory.formatOnePartition(part), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Fill, FailingStep, ::testing::Values(0x00));

}  // namespace
