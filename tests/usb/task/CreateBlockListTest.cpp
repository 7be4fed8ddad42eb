// "LF::CreateBlockList" on simulated devices taken through the scan road:
// the block sets cut from what the scan left and the copies of the system
// area placed in the first, each page of them good, outside every block set
// and where the controller looks for it.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <utility>
#include <vector>

#include "schema/device/BaseAddress.h"
#include "schema/device/PlaneInfo.h"
#include "schema/event/DeviceEvent.h"
#include "usb/cfg/AddressFactory.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/cmd/SetList.h"
#include "usb/scan/ScanEngineFixture.h"
#include "usb/task/lFormat/TaskLfCreateSetList.h"
#include "usb/task/scan/TaskScanPreScan.h"
#include "usb/task/scan/TaskScanScan.h"
#include "usb/task/scan/TaskScanSpeed.h"
#include "usb/task/scan/TaskScanWriteBitmap.h"

using namespace Tessor;
using namespace Tessor::schema;

namespace {

class CreateBlockListTest : public ScanEngineFixture {
protected:
    // The device scanned and its bitmaps saved, as the scanning state leaves it.
    void scan(const std::string& preset, const Keys& keys, int copies)
    {
        use(preset, keys, 2);
        // As the production start leaves it.
        device->resetAllocatAddress();
        UsbConfiguration::instance()->setCfgTableCount(copies);
        device->getScanConfig()->setScanLevel(1);
        device->getScanConfig()->setScanSpeed(4);
        EXPECT_EQ(device->setCurrentPlaneInfo(Sptr<PlaneInfo>(new PlaneInfo(1, 1, 1))), 0);
        Sptr<BaseTask> tasks[] = {
            Sptr<BaseTask>(new usb::TaskScanSpeed(TASK_SCAN_SPEED, "SCAN::ScanSpeed")),
            Sptr<BaseTask>(new TaskScanPreScan(TASK_PRE_SCAN, "SCAN::PreScan")),
            Sptr<BaseTask>(new TaskScanScan(TASK_SCAN, "SCAN::ScanFlash")),
            Sptr<BaseTask>(new TaskScanWriteBitmap(TASK_WRITE_BITMAP, "SCAN::WriteSectorBitmap")),
        };
        for (const Sptr<BaseTask>& task : tasks) {
            Sptr<BaseEvent> event(new DeviceEvent(DEV_SIG_DETECT_SPEED));
            ASSERT_EQ(task->startup(device, event), 0) << task->getName();
        }
    }

    int createBlockList()
    {
        TaskLfCreateSetList task(TASK_CREATE_SET_LIST, "LF::CreateBlockList");
        Sptr<BaseEvent> event(new DeviceEvent(DEV_SIG_DETECT_SPEED));
        const int result = task.startup(device, event);
        EXPECT_EQ(result, -event->getErrorCode());
        return event->getErrorCode();
    }

    // Every page one copy of the system area takes.
    static std::vector<Sptr<BaseAddress>> pagesOf(const usb::AllocatAddress& copy)
    {
        std::vector<Sptr<BaseAddress>> pages = {copy.getCfgTableAddress(), copy.getFlagTableAddress(),
                                                copy.getBuildInfoAddress()};
        for (const Sptr<BaseAddress>& list : {copy.getExternalCodeAddress(), copy.getPageBitmapAddress()}) {
            for (int i = 0; list && i < list->getCount(); ++i) {
                pages.push_back(Sptr<BaseAddress>(list->getData(i)));
            }
        }
        return pages;
    }

    // Device-wide page number.
    int64_t pageIndex(const Sptr<BaseAddress>& page) const
    {
        return (int64_t(page->getChipNo()) * geometry.blocks + page->getBlockNo()) * geometry.pages + page->getPageNo();
    }
};

// On one chip with bad blocks and sectors, and on two chips.
TEST_F(CreateBlockListTest, CopiesLieOnGoodPagesOutsideTheBlockSets)
{
    const std::pair<const char*, Keys> devices[] = {
        {"G1", {{"Faults.BadBlocks", "3,5,17,130"}, {"Faults.BadSectors", "2000,2001,9000"}}},
        {"G2", {{"Faults.BadBlocks", "2,700"}}},
    };
    for (const auto& [preset, faults] : devices) {
        SCOPED_TRACE(preset);
        scan(preset, faults, 3);
        const usb::SectorBitmap& bitmap = *device->getSectorBitmap();
        const std::vector<unsigned char> scanned(bitmap.getBitmap(), bitmap.getBitmap() + bitmap.getLength());
        ASSERT_EQ(createBlockList(), 0);
        Sptr<usb::SetList> list = device->getSetList();
        ASSERT_TRUE(list);
        ASSERT_GT(list->getCount(), 0);

        std::set<int> setBlocks;
        for (int s = 0; s < list->getCount(); ++s) {
            Sptr<usb::BlockSet> set = list->getData(s);
            ASSERT_TRUE(set);
            for (int i = 0; i < set->getBlocksCount(); ++i) {
                setBlocks.insert(set->getBlockNo(i));
            }
        }
        Sptr<usb::BlockSet> first = list->getData(0);
        const int start = first->getStartSector();
        const int count = first->getSectorCount();
        Sptr<usb::AllocatAddress> copies = device->getAllocatAddress();
        ASSERT_EQ(copies->getCount(), 3);
        std::set<int64_t> seen;
        for (int c = 0; c < copies->getCount(); ++c) {
            SCOPED_TRACE(c);
            Sptr<usb::AllocatAddress> copy = copies->getData(c);
            ASSERT_TRUE(copy);
            EXPECT_TRUE(usb::AddressFactory::v31CfgTable8stepCheck(pageIndex(copy->getCfgTableAddress()), device));
            for (const Sptr<BaseAddress>& page : pagesOf(*copy)) {
                ASSERT_TRUE(page);
                const int64_t index = pageIndex(page);
                EXPECT_TRUE(seen.insert(index).second) << page->logData();
                EXPECT_EQ(setBlocks.count(static_cast<int>(index / geometry.pages)), 0u) << page->logData();
                EXPECT_EQ(page->getSectorNo(), start);
                for (int s = start; s < start + count; ++s) {
                    EXPECT_FALSE(usb::BitRange::test(scanned.data(), index * geometry.sectors + s)) << page->logData();
                }
            }
        }
    }
}

// Index-pointer firmware: one index page per copy is chosen from the
// sector bitmap before the sets are cut, outside the first two blocks.
TEST_F(CreateBlockListTest, IndexPointerFirmwareTakesItsIndexPagesFirst)
{
    scan("G1", {{"Device.Firmware", "3.10"}, {"Faults.BadBlocks", "2"}}, 2);
    ASSERT_EQ(device->getVersion()->getVersionNumber(), VERSION_6716V31);
    ASSERT_EQ(createBlockList(), 0);
    Sptr<usb::AllocatAddress> copies = device->getAllocatAddress();
    ASSERT_EQ(copies->getCount(), 2);
    for (int c = 0; c < 2; ++c) {
        Sptr<usb::AllocatAddress> copy = copies->getData(c);
        ASSERT_TRUE(copy->getCfgTableIndexAddress());
        EXPECT_GE(copy->getCfgTableIndexAddress()->getBlockNo(), 3);
    }
    EXPECT_TRUE(device->getAddress()->gethasCfgTableIndex());
}

// No block set can hold the system area, or no index page can be found:
// the device fails with 0x8021.
TEST_F(CreateBlockListTest, NoRoomFailsTheDevice)
{
    scan("G1", {}, 1);
    usb::SectorBitmap& sectors = *device->getSectorBitmap();
    usb::BitRange::fill(sectors.getBitmap(), 0, int64_t(sectors.getLength()) * 8, true);
    EXPECT_EQ(createBlockList(), 0x8021);
    EXPECT_FALSE(device->getSetList());

    scan("G1", {{"Device.Firmware", "4.00"}}, 1);
    usb::SectorBitmap& again = *device->getSectorBitmap();
    usb::BitRange::fill(again.getBitmap(), 0, int64_t(again.getLength()) * 8, true);
    EXPECT_EQ(createBlockList(), 0x8021);
    EXPECT_FALSE(device->getPerAllocateCfgIndexPtr());
}

}  // namespace
