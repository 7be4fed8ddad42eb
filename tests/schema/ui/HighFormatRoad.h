// The high format's road for tests: partitions of the run settings, a
// device of the test's 1 Gbit part plugged and started with them, and the
// units of a built device cut from its logical disk and read by the standard
// tools (fsck.fat, mtools, sfdisk, xorriso).
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EngineHarness.h"
#include "shell/PartitionFit.h"
#include "support/FatVolumeReach.h"
#include "support/OutsideTools.h"

namespace engine_test {

using Tessor::schema::DISK_CDROM;
using Tessor::schema::DISK_LOCAL;
using Tessor::schema::DISK_REMOVABLE;
using Tessor::taval::OpKind;
using Tessor::taval::VirtualDevice;
using test_support::runTool;

constexpr auto ROAD_LIMIT = std::chrono::seconds(120);
constexpr int HIGH_FORMAT_TOTAL = 300;
constexpr uint32_t REST = 1;  // sectors of a last partition: it grows to the rest

// A partition of the run settings; the last one takes what is left.
struct Partition {
    int diskType;
    uint32_t sectors;
    std::string content;  // a folder of the test, "iso" for the CD-ROM image, or ""
    bool encrypted = false;
    std::string label = "UNIT";  // in the code page
};

// What a unit of the produced table must hold.
enum Kind { REMOVABLE_FAT, LOCAL_FAT, CDROM_IMAGE };

struct Unit {
    Kind kind;
    int fatBits;          // 12, 16 or 32; 0 for a CD-ROM unit
    std::string content;  // what reads back from it, as in Partition
    std::string label = "";  // its bytes without the padding blanks; "" when not checked
};

// Label bytes of the boot sector as mtools shows those of the root
// directory: read in DOS code page 850.
inline std::string dosText(const std::string& bytes)
{
    iconv_t cd = iconv_open("UTF-8", "CP850");
    std::string in = bytes;
    std::string out(bytes.size() * 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

// Files to copy and the CD-ROM image, made once per process.
class Content {
public:
    static Content& instance()
    {
        static Content content;
        return content;
    }

    std::string path(const std::string& name) const { return m_folder + "/" + name; }
    std::string iso() const { return path("unit.iso"); }
    std::string isoSource() const { return path("isosource"); }

private:
    Content() : m_folder(EngineEnvironment::instance().folder() + "/content")
    {
        for (const char* name : {"first", "second", "login"}) {
            const std::string folder = path(name);
            std::filesystem::create_directories(folder + "/docs");
            std::ofstream(folder + "/" + name + ".txt") << "content of " << name << "\n";
            std::ofstream(folder + "/docs/Notes Of The Unit.txt") << std::string(5000, name[0]);
        }
        std::filesystem::create_directories(isoSource());
        std::ofstream(isoSource() + "/readme.txt") << "on the CD-ROM unit\n";
        const auto made = runTool("xorriso -as mkisofs -quiet -V UNITISO -o " + iso() + " " + isoSource());
        EXPECT_EQ(made.status, 0) << made.output;
    }

    std::string m_folder;
};

// The 6716 station of one table copy; the environment's folder holds its
// firmware images.
struct Station6716 {
    Station6716()
    {
        EngineEnvironment::instance();
        UsbConfiguration* config = UsbConfiguration::instance();
        config->setChipSet("6716");
        config->setCfgTableCount(1);
    }
};

inline Sptr<ConfigInfo> settingsOf(Engine& engine, const std::vector<Partition>& partitions, int64_t producedDisk,
                                  Tessor::schema::CAPACITY_POLICY_T policy = Tessor::schema::CAPACITY_BEGIN_IS_FIRST)
{
    Sptr<ConfigInfo> settings(new ConfigInfo(engine.ui().getConfigInfo()));
    settings->clearData();
    settings->setCapacityPolicy(policy);
    settings->setConfigCapacity(0);
    settings->setRealCapacity(static_cast<int>(producedDisk));
    settings->setPassword("open sesame");
    for (const Partition& p : partitions) {
        Sptr<PartInfo> part(new PartInfo(static_cast<int>(p.sectors)));
        part->setDiskType(p.diskType);
        part->setIsEncrypted(p.encrypted);
        part->setVolumeLabel(p.label);
        if (p.content == "iso") {
            part->setCopyPath(Content::instance().iso());
        } else if (!p.content.empty()) {
            part->setCopyPath(Content::instance().path(p.content));
        }
        settings->addPartInfo(part);
    }
    return settings;
}

// A start as the front ends send it: `settings` fitted to the sectors of
// the port's device first.
inline void startAsFrontEnds(Engine& engine, int port, const Sptr<ConfigInfo>& settings)
{
    const std::optional<int> sectors = Tessor::shell::deviceSectors(*engine.slot(port));
    ASSERT_TRUE(sectors);
    const Sptr<ConfigInfo> fitted = Tessor::shell::fittedRunSettings(*settings, *sectors);
    ASSERT_TRUE(fitted);
    engine.start(port, fitted);
}

class Volumes {
public:
    explicit Volumes(std::string folder) : m_folder(std::move(folder)) {}

    // fsck.fat accepts the volume of the unit's FAT, mdir opens it at
    // `offset` bytes into `image`, its files read back equal to its content
    // and its boot sector and root directory carry its label.
    void expectFat(const VirtualDevice::UnitCopy& copy, const std::string& volume, int64_t offset, const Unit& unit)
    {
        const std::string& image = copy.path;
        // Past its exact part the copy reads zeros where the device reads
        // its fill: the tools must find all they read within that part.
        const int64_t reach = test_support::fatVolumeReach(image, offset);
        EXPECT_GT(reach, offset) << image;
        EXPECT_LE(reach, copy.exact * 512) << image;
        const auto fsck = runTool("fsck.fat -n -v " + volume);
        if (std::any_of(unit.label.begin(), unit.label.end(), [](char c) { return c & 0x80; })) {
            const auto plain = runTool("fsck.fat -n " + volume);
            EXPECT_TRUE(plain.status == 0 || test_support::onlyLabelRefused(plain, volume)) << plain.output;
        } else {
            EXPECT_EQ(fsck.status, 0) << fsck.output;
        }
        // Reported, but not counted as an error.
        EXPECT_EQ(fsck.output.find("differences between boot sector and its backup"), std::string::npos)
            << fsck.output;
        EXPECT_NE(fsck.output.find(std::to_string(unit.fatBits) + " bit entries"), std::string::npos) << fsck.output;
        const std::string at = offset != 0 ? image + "@@" + std::to_string(offset) : image;
        if (!unit.label.empty()) {
            const std::string padded = unit.label + std::string(11 - unit.label.size(), ' ');
            const auto info = runTool("minfo -i " + at + " ::");
            EXPECT_NE(info.output.find("disk label=\"" + padded + "\""), std::string::npos) << info.output;
            const auto root = runTool("mlabel -s -i " + at + " ::");
            EXPECT_NE(root.output.find("Volume label is " + dosText(unit.label)), std::string::npos) << root.output;
        }
        const auto mdir = runTool("mdir -i " + at + " ::");
        EXPECT_EQ(mdir.status, 0) << mdir.output;
        const std::string& content = unit.content;
        if (content.empty()) {
            EXPECT_NE(mdir.output.find("No files"), std::string::npos) << mdir.output;
            return;
        }
        const std::string back = m_folder + "/back";
        std::filesystem::remove_all(back);
        std::filesystem::create_directories(back);
        const auto copied = runTool("mcopy -s -n -i " + at + " ::/ " + back + "/");
        EXPECT_EQ(copied.status, 0) << copied.output;
        const auto diff = runTool("diff -r " + back + " " + Content::instance().path(content));
        EXPECT_EQ(diff.status, 0) << diff.output;
    }

    void expectUnit(const VirtualDevice::UnitCopy& copy, const Unit& unit)
    {
        const std::string& image = copy.path;
        switch (unit.kind) {
        case REMOVABLE_FAT:
            expectFat(copy, image, 0, unit);
            break;
        case LOCAL_FAT: {
            // The partition table is in the first sector, always exact.
            const auto sfdisk = runTool("sfdisk -V " + image);
            EXPECT_EQ(sfdisk.status, 0) << sfdisk.output;
            const std::string volume = m_folder + "/volume.img";
            ASSERT_TRUE(test_support::cutImage(image, 63, copy.sectors - 63, volume));
            expectFat(copy, volume, 63 * 512, unit);
            break;
        }
        case CDROM_IMAGE: {
            const std::string iso = Content::instance().iso();
            const auto cmp = runTool("cmp -n $(stat -c%s " + iso + ") " + image + " " + iso);
            EXPECT_EQ(cmp.status, 0) << cmp.output;
            const auto listing = runTool("xorriso -indev " + image + " -find / -type f");
            EXPECT_NE(listing.output.find("/readme.txt"), std::string::npos) << listing.output;
            break;
        }
        }
    }

private:
    std::string m_folder;
};

// Plug-in, start with `settings`, and the run ended built, its high-format
// bar at its total.
inline void produce(Engine& engine, const std::string& folder, const Sptr<ConfigInfo>& settings)
{
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
    ASSERT_TRUE(engine.waitState(0, "StateWait")) << engine.stateOf(0);
    engine.start(0, settings);
    EXPECT_EQ(engine.waitRunEnded(0, ROAD_LIMIT), "StateBuildOk");
    ASSERT_TRUE(engine.ui().waitReports(0, {{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}, {UI_SIG_BUILD_OK, 0, 0}}))
        << ::testing::PrintToString(engine.ui().reports(0));
    engine.expectBarEndsAtTotal(0, 0, "StateHighFormat", HIGH_FORMAT_TOTAL);
}

// A content folder of the test with `names` (paths below it, "/" between
// the parts), each file holding its own path.
inline std::string contentWith(const std::string& folder, const std::vector<std::string>& names)
{
    const std::string root = Content::instance().path(folder);
    std::filesystem::remove_all(root);
    for (const std::string& name : names) {
        const std::filesystem::path file = std::filesystem::path(root) / std::filesystem::u8path(name);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << name << "\n";
    }
    return folder;
}

// A device of the test's 1 Gbit part plugged into `port`, waiting for its
// start.
inline void plugDevice(Engine& engine, int port, const std::string& name)
{
    std::string error;
    const std::string folder = EngineEnvironment::instance().makeDevice(
        name, {{"Device.FlashId", "ECD35195"}, {"Device.BlocksPerChip", "1024"}, {"Device.PagesPerBlock", "64"}});
    ASSERT_EQ(engine.hub().plug(port, folder, &error), 0) << error;
    ASSERT_TRUE(engine.waitState(port, "StateWait")) << engine.stateOf(port);
}

// A device of the test's 1 Gbit part plugged into `port` and started with
// `partitions`.
inline void plugAndStart(Engine& engine, int port, const std::string& name, const std::vector<Partition>& partitions)
{
    ASSERT_NO_FATAL_FAILURE(plugDevice(engine, port, name));
    engine.start(port, settingsOf(engine, partitions, 0));
}

inline std::string exportFolder(int port)
{
    return EngineEnvironment::instance().folder() + "/export-port" + std::to_string(port);
}

// The units of the port's device as it serves them, copied into the port's
// export folder, which the next export of the port replaces.
inline std::vector<VirtualDevice::UnitCopy> exportUnits(
    Engine& engine, int port, VirtualDevice::ExportExtent extent = VirtualDevice::ExportExtent::Whole)
{
    const std::string out = exportFolder(port);
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    std::vector<VirtualDevice::UnitCopy> copies;
    std::string error;
    EXPECT_TRUE(engine.hub().device(port)->exportUnits(out, &copies, &error, extent)) << error;
    return copies;
}

// The port's device ended built, its units read by the tools as `units`;
// their copies in `exported` when it is given.
inline void expectBuilt(Engine& engine, int port, const std::vector<Unit>& units,
                        std::vector<VirtualDevice::UnitCopy>* exported = nullptr)
{
    ASSERT_EQ(engine.waitRunEnded(port, ROAD_LIMIT), "StateBuildOk") << engine.ui().lastCause(port);
    const std::vector<VirtualDevice::UnitCopy> copies = exportUnits(engine, port);
    if (exported != nullptr) {
        *exported = copies;
    }
    ASSERT_EQ(copies.size(), units.size());
    Volumes volumes(exportFolder(port));
    for (size_t i = 0; i < copies.size(); ++i) {
        SCOPED_TRACE("unit " + std::to_string(i));
        volumes.expectUnit(copies[i], units[i]);
    }
}

// The operations of `kind` the port's device was given.
inline int opsOf(Engine& engine, int port, OpKind kind)
{
    int count = 0;
    for (const Tessor::taval::OpRecord& op : engine.hub().device(port)->opLog()) {
        count += op.kind == kind ? 1 : 0;
    }
    return count;
}

// The port's device failed with `code`, its report saying `cause` among
// other words.
inline void expectFailed(Engine& engine, int port, int code, const std::string& cause)
{
    EXPECT_EQ(engine.waitRunEnded(port, ROAD_LIMIT), "StateError");
    EXPECT_TRUE(engine.ui().waitLastReport(port, {UI_SIG_STATUS, port, code}))
        << ::testing::PrintToString(engine.ui().reports(port));
    EXPECT_NE(engine.ui().lastCause(port).find(cause), std::string::npos) << engine.ui().lastCause(port);
}

}  // namespace engine_test
