// The scan tasks in the order the scanning state runs them, on simulated
// devices: the speed code, the scan mode, the bitmaps and the image they
// leave, and the code each injected fault ends the step with.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "schema/device/BaseAddress.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/PlaneInfo.h"
#include "schema/event/DeviceEvent.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/scan/ScanEngineFixture.h"
#include "usb/task/scan/TaskScanPreScan.h"
#include "usb/task/scan/TaskScanScan.h"
#include "usb/task/scan/TaskScanSpeed.h"
#include "usb/task/scan/TaskScanWriteBitmap.h"

using namespace Tessor;
using namespace Tessor::schema;

namespace {

class ScanTaskTest : public ScanEngineFixture {
protected:
    // Runs the tasks of the scanning state until one fails; its event code, or 0.
    int runScanTasks(int level, int speedChoice)
    {
        // Level 3 goes straight to the scan, as the scanning state's entry chooses.
        const int firstTask = level == 3 ? 2 : 0;
        device->getScanConfig()->setScanLevel(level);
        device->getScanConfig()->setScanSpeed(speedChoice);
        EXPECT_EQ(device->setCurrentPlaneInfo(Sptr<PlaneInfo>(new PlaneInfo(1, 1, 1))), 0);
        Sptr<BaseTask> tasks[] = {
            Sptr<BaseTask>(new usb::TaskScanSpeed(TASK_SCAN_SPEED, "SCAN::ScanSpeed")),
            Sptr<BaseTask>(new TaskScanPreScan(TASK_PRE_SCAN, "SCAN::PreScan")),
            Sptr<BaseTask>(new TaskScanScan(TASK_SCAN, "SCAN::ScanFlash")),
            Sptr<BaseTask>(new TaskScanWriteBitmap(TASK_WRITE_BITMAP, "SCAN::WriteSectorBitmap")),
        };
        for (int i = firstTask; i < 4; ++i) {
            const Sptr<BaseTask>& task = tasks[i];
            Sptr<BaseEvent> event(new DeviceEvent(DEV_SIG_DETECT_SPEED));
            const int result = task->startup(device, event);
            if (result != 0) {
                EXPECT_EQ(result, -event->getErrorCode());
                return event->getErrorCode();
            }
        }
        return 0;
    }

    std::set<int> badBlocks()
    {
        std::set<int> out;
        Sptr<usb::BlockBitmap> blocks = device->getSectorBitmap()->getBlockBitmap();
        for (int b = 0; b < geometry.chips * geometry.blocks; ++b) {
            if (blocks->isBad(b)) {
                out.insert(b);
            }
        }
        return out;
    }
};

TEST_F(ScanTaskTest, ScanRoadLeavesTheInjectedBadBlocksAndTheSavedImage)
{
    use("G1", {{"Faults.BadBlocks", "5,17,130"}, {"Faults.MinCycle", "17"}}, 2);
    ASSERT_EQ(runScanTasks(1, 0), 0);
    // 0x0000 is too fast for this flash; 0x1111 is the first code that holds.
    EXPECT_EQ(device->getScanConfig()->getScanSpeed(), 0x1111);
    EXPECT_STREQ(device->getScanMode()->getName(), "OptimizedScanBlockMode");
    EXPECT_EQ(device->getScanMode()->getScanBitmap()->getMode(), SCAN_PAGE_ALL);

    // The injected blocks, the first good block (the block bitmap's) and
    // the image's blocks near the end.
    std::set<int> expected = {0, 5, 17, 130};
    Sptr<BaseAddress> image = device->getSectorBitmap()->getAddress();
    ASSERT_TRUE(image);
    for (Sptr<BaseData> c = image->getNextData({}); c; c = image->getNextData(c)) {
        expected.insert(Sptr<BaseAddress>(c)->getPhyAddress() / int(geometry.sectorsPerBlock()));
    }
    EXPECT_GT(*expected.rbegin(), 200);
    EXPECT_TRUE(badBlocks() == expected);
}

// A later run at scan level 3 reads the same bitmap back from the image and
// leaves the image where it is.
TEST_F(ScanTaskTest, LevelThreeReadsTheSavedBitmapBack)
{
    use("G1", {{"Faults.BadBlocks", "5,17,130"}, {"Faults.BadSectors", "40000,40001"}}, 2);
    ASSERT_EQ(runScanTasks(1, 4), 0);
    Sptr<usb::SectorBitmap> first = device->getSectorBitmap();
    const std::vector<unsigned char> scanned(first->getBitmap(), first->getBitmap() + first->getLength());
    Sptr<BaseAddress> image(first->getAddress()->getData(0));
    const int imageBlock = image->getPhyAddress() / int(geometry.sectorsPerBlock());

    replug();
    const size_t saveStart = opLog().size();
    ASSERT_EQ(runScanTasks(3, 4), 0);
    Sptr<usb::SectorBitmap> again = device->getSectorBitmap();
    ASSERT_NE(again.get(), first.get());
    EXPECT_TRUE(std::vector<unsigned char>(again->getBitmap(), again->getBitmap() + again->getLength()) == scanned);
    const std::vector<taval::OpRecord> ops = opLog();
    for (size_t i = saveStart; i < ops.size(); ++i) {
        EXPECT_NE(ops[i].kind, taval::OpKind::Program);
        if (ops[i].kind == taval::OpKind::Erase) {
            const int64_t last = ops[i].args[1] / geometry.sectorsPerBlock() + ops[i].args[2] - 1;
            EXPECT_LT(last, imageBlock - 1);
        }
    }
}

TEST_F(ScanTaskTest, ReadBackRefusesAMissingOrShortImage)
{
    use("G1", {}, 2);
    replug();
    EXPECT_EQ(runScanTasks(3, 4), 0x8008);
    use("G1", {{"Faults.FailRead", "always"}}, 2);
    EXPECT_EQ(runScanTasks(3, 4), 0x8001);
    use("G1", {{"Faults.FailCodeDownload", "always"}}, 2);
    EXPECT_EQ(runScanTasks(3, 4), 0x8005);

    // A saved header whose image count leaves no bitmap sector at all.
    use("G1", {{"Faults.BadBlocks", "9"}}, 2);
    ASSERT_EQ(runScanTasks(1, 4), 0);
    const int64_t header = Sptr<BaseAddress>(device->getSectorBitmap()->getAddress()->getData(0))->getPhyAddress();
    replug();
    std::vector<uint8_t> sector(512 + 64);
    int length = 0;
    ASSERT_TRUE(hub->device(0)->readFlash(0, header, 1, sector.data(), int(sector.size()), &length));
    std::copy(sector.begin() + 8, sector.begin() + 12, sector.begin() + 12);
    ++sector[12];
    const int64_t perBlock = geometry.sectorsPerBlock();
    ASSERT_TRUE(hub->device(0)->eraseBlocks(0, header / perBlock * perBlock, 1));
    ASSERT_TRUE(hub->device(0)->writeFlash(0, header, 1, sector.data()));
    EXPECT_EQ(runScanTasks(3, 4), 0x8008);
}

TEST_F(ScanTaskTest, FaultsEndTheStepWithTheirCode)
{
    struct Case {
        const char* name;
        Keys faults;
        int code;
    };
    const Case cases[] = {
        {"vendor read failure", {{"Faults.VendorFailAfter", "5"}}, 0x8001},
        {"write failure while saving", {{"Faults.FailProgram", "always"}}, 0x8032},
        {"erase failure before the scan", {{"Faults.EraseFailBlocks", "255"}}, 0x802A},
        {"no room for the image", {{"Faults.BadBlockFraction", "0.97"}, {"Faults.Seed", "3"}}, 0x8021},
        {"stop from the UI", {{"Faults.CancelAfter", "60"}}, 0x8029},
        // No probe and no pre-scan at this speed and priority: the first
        // download is the full scan's.
        {"table refused before the full scan", {{"Faults.FailTableToRam", "1"}}, 0x8004},
        {"firmware refused before the full scan", {{"Faults.FailCodeDownload", "1"}}, 0x8005},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        use("G1", c.faults, 0);
        cancelWhenAsked();
        EXPECT_EQ(runScanTasks(1, 4), c.code);
        device->resetCancel();
    }
}

// The speed step with the automatic choice: the fastest trial code that
// holds on the flash is kept, 0x0000 first; a probe that cannot read its
// blocks fails the step, and a stop during it ends the step with its code.
TEST_F(ScanTaskTest, SpeedProbeKeepsTheFastestCodeThatHoldsOrFailsTheStep)
{
    struct Case {
        const char* name;
        Keys faults;
        int code;
        int speed;
    };
    const Case cases[] = {
        {"good flash", {}, 0, 0x0000},
        {"too fast for 0x0000", {{"Faults.MinCycle", "17"}}, 0, 0x1111},
        {"only the slowest holds", {{"Faults.MinCycle", "19"}}, 0, 0x1313},
        {"probe cannot read", {{"Faults.FailRead", "always"}}, 0x802B, -1},
        {"stop during the probe", {{"Faults.CancelAfter", "4"}}, 0x8029, -1},
        {"table refused before the probe", {{"Faults.FailTableToRam", "1"}}, 0x8004, -1},
        // The table of the 0x0000 trial does not arrive: the device would
        // still run at the probe's 0x1313, where the trial passes.
        {"0x0000 not taken", {{"Faults.MinCycle", "17"}, {"Faults.FailTableToRam", "2"}}, 0, 0x1111},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        use("G1", c.faults, 1);
        cancelWhenAsked();
        EXPECT_EQ(runScanTasks(1, 0), c.code);
        if (c.code == 0) {
            EXPECT_EQ(device->getScanConfig()->getScanSpeed(), c.speed);
        }
        device->resetCancel();
    }
}

TEST_F(ScanTaskTest, LevelZeroErasesAndSavesNothing)
{
    use("G1", {{"Faults.BadBlocks", "9"}}, 2);
    ASSERT_EQ(runScanTasks(0, 4), 0);
    EXPECT_FALSE(device->getSectorBitmap()->getAddress());
    for (const taval::OpRecord& op : opLog()) {
        EXPECT_NE(op.kind, taval::OpKind::Program);
    }
}

TEST_F(ScanTaskTest, PlaneDecisionCountsAtLeastEightyPercentAsMostlyGood)
{
    EXPECT_TRUE(TaskScanWriteBitmap::mostGroupsGood(80, 1, 100));
    EXPECT_FALSE(TaskScanWriteBitmap::mostGroupsGood(79, 1, 100));
    EXPECT_TRUE(TaskScanWriteBitmap::mostGroupsGood(200, 4, 1000));
}

}  // namespace
