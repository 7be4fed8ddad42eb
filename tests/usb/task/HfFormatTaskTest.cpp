// The high-format tasks on a simulated device whose RAM holds the high-format
// table: every unit formatted and given its content, each unit cut from the
// logical disk and read back by the standard tools, and the code each
// injected failure ends the task with.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/orrin/Orrin.h"
#include "platform/taval/DeviceDescription.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/SimulatedDevice.h"
#include "schema/event/DeviceEvent.h"
#include "support/OutsideTools.h"
#include "support/TempFolder.h"
#include "usb/cfg/CfgTable.h"
#include "usb/task/hFormat/TaskHfFormatAllPartitions.h"
#include "usb/task/hFormat/TaskHfTestUDisk.h"

using namespace Tessor::schema;
using Tessor::taval::OpKind;
using test_support::runTool;

namespace {

struct Unit {
    uint32_t capacity;
    int diskType;
    std::string content;  // folder name under the test folder, or ""
    int bootType = 0;
};

class HfFormatTask : public SimulatedDevice, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        logicalSectors = 140000;
        extraKeys = faults;
        extraKeys["Device.LogicalFill"] = std::to_string(GetParam());
        SimulatedDevice::SetUp();
        sharedSetTimeScale(0.001);
    }

    void TearDown() override
    {
        sharedSetTimeScale(1.0);
        UsbConfiguration::instance()->setBootFile("");
        SimulatedDevice::TearDown();
    }

    std::string folderWith(const std::string& name)
    {
        const std::string path = out.path() + "/" + name;
        std::filesystem::create_directories(path + "/docs");
        std::ofstream(path + "/" + name + ".txt") << "content of " << name;
        std::ofstream(path + "/docs/Notes For The Unit.txt") << std::string(3000, 'n');
        return path;
    }

    // The run settings and the high-format table in the controller's RAM.
    void layOut(const std::vector<Unit>& units)
    {
        UsbConfiguration::instance()->setChipSet("6716");
        Sptr<ConfigInfo> run(new ConfigInfo());
        run->setScanConfig(Sptr<ScanConfig>(new ScanConfig(nullptr, "ScanConfig")));
        run->setRealCapacity(CHIPS * BLOCKS * PAGES * SECTORS * 100);
        uint32_t total = 0;
        for (const Unit& u : units) {
            Sptr<PartInfo> part(new PartInfo(static_cast<int>(u.capacity)));
            part->setDiskType(u.diskType);
            part->setBootType(u.bootType);
            part->setVolumeLabel("UNIT");
            if (!u.content.empty()) {
                part->setCopyPath(folderWith(u.content));
            }
            run->addPartInfo(part);
            total += u.capacity;
        }
        run->setConfigCapacity(total);
        EXPECT_EQ(device->setConfigInfo(run), 0);
        table = Sptr<Tessor::usb::CfgTable>(new Tessor::usb::CfgTable(device, "ConfigTable", Tessor::usb::CFG_TABLE_DOWNLOADING));
        device->setCfgTable(table);
        ASSERT_EQ(0, table->finish(device));
        ASSERT_EQ(0, table->update4HighFormat(device));
        ASSERT_EQ(0, table->writeFlash(device));
    }

    int run(int* code)
    {
        TaskHfTestUDisk test(TASK_TEST_UDISK, "HF::TestUDisk");
        Sptr<BaseEvent> event(new DeviceEvent(DEV_SIG_DETECT_SPEED));
        EXPECT_EQ(0, test.startup(device, event));
        TaskHfFormatAllPartitions task(TASK_FORMAT_ALL, "HF::FormatAll");
        const int r = task.startup(device, event);
        *code = event->getErrorCode();
        return r;
    }

    std::string unitImage(uint32_t first, uint32_t sectors)
    {
        const std::string disk = out.path() + "/disk.img";
        std::string error;
        EXPECT_TRUE(hub->device(0)->exportLogical(disk, &error)) << error;
        const std::string unit = out.path() + "/unit.img";
        EXPECT_TRUE(test_support::cutImage(disk, first, sectors, unit));
        return unit;
    }

    // fsck.fat accepts the volume and its files read back equal to `source`.
    void expectVolume(const std::string& image, const std::string& source)
    {
        const auto fsck = runTool("fsck.fat -n -v " + image);
        EXPECT_EQ(fsck.status, 0) << fsck.output;
        if (source.empty()) {
            return;
        }
        const std::string back = out.path() + "/back";
        std::filesystem::remove_all(back);
        std::filesystem::create_directories(back);
        EXPECT_EQ(runTool("mcopy -s -n -i " + image + " ::/ " + back + "/").status, 0);
        const auto diff = runTool("diff -r " + back + " " + source);
        EXPECT_EQ(diff.status, 0) << diff.output;
    }

    int count(OpKind kind)
    {
        int n = 0;
        for (const auto& r : opLog()) {
            n += r.kind == kind ? 1 : 0;
        }
        return n;
    }

    test_support::DeviceKeys faults;
    test_support::TempFolder out;
    Sptr<Tessor::usb::CfgTable> table;
};

TEST_P(HfFormatTask, EachUnitIsFormattedAndGetsItsOwnFolder)
{
    layOut({{60000, DISK_REMOVABLE, "first"}, {70000, DISK_REMOVABLE, "second"}});
    int code = -1;
    ASSERT_EQ(0, run(&code));
    EXPECT_EQ(0, code);
    expectVolume(unitImage(0, 60000), out.path() + "/first");
    expectVolume(unitImage(60000, 70000), out.path() + "/second");
    EXPECT_EQ(1, count(OpKind::Switch));
    EXPECT_EQ(2, count(OpKind::Copy));
}

TEST_P(HfFormatTask, BootFilesGoToTheFirstUnitInPlaceOfItsFolder)
{
    UsbConfiguration::instance()->setBootFile(folderWith("boot"));
    layOut({{130000, DISK_LOCAL, "ignored", 1}});
    int code = -1;
    ASSERT_EQ(0, run(&code));
    EXPECT_EQ(0, code);
    const std::string unit = unitImage(0, 130000);
    EXPECT_EQ(0, runTool("sfdisk -V " + unit).status);
    const std::string volume = out.path() + "/volume.img";
    ASSERT_TRUE(test_support::cutImage(unit, 63, 130000 - 63, volume));
    expectVolume(volume, out.path() + "/boot");
    EXPECT_EQ(0, count(OpKind::Switch));
}

INSTANTIATE_TEST_SUITE_P(Fills, HfFormatTask, ::testing::Values(0x00, 0xFF));

class HfFormatFault : public HfFormatTask {};

TEST_P(HfFormatFault, CopySwitchAndFormatFailuresGiveTheirCodes)
{
    struct Case {
        const char* rule;
        int result;
        int code;
        int copies;
    } cases[] = {
        {"FailCopy=always", 0, DeviceCode::FILE_COPY_FAILED, TaskHfFormatAllPartitions::COPY_ATTEMPTS},
        {"FailCopy=1", 0, 0, 3},
        {"FailSwitch=always", 0, DeviceCode::PARTITION_SWITCH_FAILED, 1},
        {"FailLogicalWrite=1", -0x8036, 0x8036, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        TearDown();
        faults = test_support::faultRule(c.rule);
        SetUp();
        layOut({{60000, DISK_REMOVABLE, "first"}, {70000, DISK_REMOVABLE, "second"}});
        int code = -1;
        EXPECT_EQ(c.result, run(&code));
        EXPECT_EQ(c.code, code);
        EXPECT_EQ(c.copies, count(OpKind::Copy));
    }
}

INSTANTIATE_TEST_SUITE_P(Fill, HfFormatFault, ::testing::Values(0x00));

}  // namespace
