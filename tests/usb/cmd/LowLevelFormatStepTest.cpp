// Good blocks grouped into block sets: the page-count and sector-run choice
// on hand-made block lists, and whole set lists built from hand-made sector
// bitmaps with the system area placed by the real allocator, in normal and
// block mode, on one chip and on two.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <vector>

#include "schema/device/ConfigInfo.h"
#include "schema/device/DeviceFixture.h"
#include "schema/device/FakeOperations.h"
#include "schema/device/PlaneInfo.h"
#include "support/StationFolder.h"
#include "support/TempFolder.h"
#include "usb/cfg/AddressFactory.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CodeFactory.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/LowLevelFormatStep.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/cmd/SetList.h"

using Tessor::schema::UsbConfiguration;
using Tessor::usb::_BLOCK_NODE;
using Tessor::usb::BlockSet;
using Tessor::usb::LowLevelFormatStep;
using Tessor::usb::SectorBitmap;
using Tessor::usb::SetList;
namespace BitRange = Tessor::usb::BitRange;
namespace fs = std::filesystem;

namespace {

std::list<_BLOCK_NODE> nodes(const std::vector<int>& pageCounts)
{
    std::list<_BLOCK_NODE> out;
    for (size_t i = 0; i < pageCounts.size(); ++i) {
        out.push_back({int(i), pageCounts[i]});
    }
    return out;
}

std::vector<int> blocksOf(const Sptr<BlockSet>& set)
{
    std::vector<int> out;
    for (int i = 0; i < set->getBlocksCount(); ++i) {
        out.push_back(set->getBlockNo(i));
    }
    return out;
}

class LowLevelFormatStepTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        station.emplace(folder.path());
        UsbConfiguration* c = UsbConfiguration::instance();
        c->setChipSet("6716");
        c->setCfgTableCount(1);
        c->addUdiskCodeImage("6716", "releases/code/udisk_6716.img");
        ASSERT_EQ(Tessor::usb::CodeFactory::init(), 0);
    }
    void TearDown() override
    {
        station.reset();
        DeviceFixture::TearDown();
    }

    // A scanned device of the geometry whose listed blocks and sectors
    // (device-wide) are bad; single plane, or in block mode the planes of
    // its chips.
    void scanned(int chips, int blocks, int pages, int sectors, const std::vector<int>& badBlocks,
                 const std::vector<int64_t>& badSectors = {}, bool blockMode = false)
    {
        giveGeometry(chips, blocks, pages, sectors);
        device->setDev(fakeDevice.record.get());
        ASSERT_NE(device->readVersionInfo(), nullptr);
        device->getVersion()->setVersionNumber(300);
        device->setCfgTable(Sptr<Tessor::usb::CfgTable>(
            new Tessor::usb::CfgTable(device, "ConfigTable", Tessor::usb::CFG_TABLE_DEVICE)));
        Sptr<Tessor::schema::ConfigInfo> settings(new Tessor::schema::ConfigInfo());
        settings->setBlockMode(blockMode);
        EXPECT_EQ(device->setConfigInfo(settings), 0);
        if (!blockMode) {
            EXPECT_EQ(device->setCurrentPlaneInfo(Sptr<Tessor::schema::PlaneInfo>(new Tessor::schema::PlaneInfo(1, 1, 1))), 0);
        }
        Sptr<SectorBitmap> bitmap(new SectorBitmap(device, "SectorBitmap"));
        const int64_t perBlock = int64_t(pages) * sectors;
        for (int b : badBlocks) {
            BitRange::fill(bitmap->getBitmap(), b * perBlock, perBlock, true);
            bitmap->getBlockBitmap()->setAsBad(b);
        }
        for (int64_t s : badSectors) {
            BitRange::set(bitmap->getBitmap(), s);
        }
        bitmap->setupList();
        device->setSectorBitmap(bitmap);
    }

    // The one block set of the step's set list, with its sector run and pages.
    static Sptr<BlockSet> onlySet(LowLevelFormatStep& step, int startSector, int sectorCount, int pages)
    {
        EXPECT_EQ(step.setupSetList(1), 0);
        Sptr<SetList> list = step.getSetList();
        if (!list || list->getCount() != 1) {
            ADD_FAILURE() << "no set list of one block set";
            return {};
        }
        Sptr<BlockSet> set = list->getData(0);
        EXPECT_EQ(set->getStartSector(), startSector);
        EXPECT_EQ(set->getSectorCount(), sectorCount);
        EXPECT_EQ(set->getPagesCountEveryBlock(), pages);
        return set;
    }

    std::optional<code_test::StationFolder> station;
    test_support::TempFolder folder;
    fake::Device fakeDevice;
};

TEST_F(LowLevelFormatStepTest, BestPageCountOfAListTiesToTheLargerCount)
{
    giveGeometry(1, 64, 64, 4);
    LowLevelFormatStep step(device, "CreatList");
    const struct {
        std::vector<int> counts;
        int pages, total;
    } cases[] = {
        {{64, 64, 64, 10}, 64, 192},
        {{10, 10, 10, 20}, 10, 40},
        {{10, 10, 10, 64}, 64, 64},  // 64 x 1 beats 10 x 4
        {{2, 4}, 4, 4},              // 2 x 2 ties with 4 x 1
        {{1}, 1, 1},
    };
    for (const auto& c : cases) {
        const std::list<_BLOCK_NODE> list = nodes(c.counts);
        int pages = -1;
        int total = -1;
        EXPECT_EQ(step.GetOptimizePage(&list, pages, total), c.pages);
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(total, c.total);
    }
    const std::list<_BLOCK_NODE> empty;
    int pages = 7;
    int total = 9;
    EXPECT_EQ(step.GetOptimizePage(&empty, pages, total), 0);
    EXPECT_EQ(pages, 7);
    EXPECT_EQ(total, 9);
}

// Two sectors a page: runs (0, 1), (0, 2) and (1, 1) offer 128, 128 and 192
// sectors, so the set takes sector 1 alone in blocks 1 to 3, which then
// leave every list; nothing is left for a second set.
TEST_F(LowLevelFormatStepTest, SetTakesTheRunOfMostSectorsAndItsBlocksLeaveEveryList)
{
    giveGeometry(1, 8, 64, 2);
    LowLevelFormatStep step(device, "CreatList");
    Tessor::usb::BlockLists lists(4);
    lists[0] = {{1, 64}, {2, 64}};
    lists[1] = {{1, 64}};
    lists[2] = {{1, 64}, {2, 64}, {3, 64}};
    Sptr<BlockSet> set = step.getMaxBlockSet(lists);
    ASSERT_TRUE(set);
    EXPECT_EQ(set->getStartSector(), 1);
    EXPECT_EQ(set->getSectorCount(), 1);
    EXPECT_EQ(set->getPagesCountEveryBlock(), 64);
    EXPECT_EQ(blocksOf(set), (std::vector<int>{1, 2, 3}));
    step.deleteBlocksFromList(lists);
    EXPECT_TRUE(lists[0].empty() && lists[1].empty() && lists[2].empty());
    EXPECT_FALSE(step.getMaxBlockSet(lists));
}

// Blocks 100 to 199 lose the last sector of their page 0: every block can
// give 31 whole pages, which beats 32 pages of 3 sectors. The set holds
// every good block and the allocator places the system area in it.
TEST_F(LowLevelFormatStepTest, NormalSetListOnOneChipAndOnTwo)
{
    for (int chips : {1, 2}) {
        SCOPED_TRACE(std::to_string(chips) + " chips");
        const int blocks = 256 / chips;
        const std::vector<int> bad = {5, 9, 130};
        std::vector<int64_t> weak;
        for (int b = 100; b < 200; ++b) {
            weak.push_back(int64_t(b) * 32 * 4 + 3);
        }
        scanned(chips, blocks, 32, 4, bad, weak);
        LowLevelFormatStep step(device, "CreatList");
        Sptr<BlockSet> set = onlySet(step, 0, 4, 31);
        ASSERT_TRUE(set);
        Sptr<SetList> list = step.getSetList();
        const std::vector<int> in = blocksOf(set);
        const std::set<int> taken(in.begin(), in.end());
        for (int b : bad) {
            EXPECT_EQ(taken.count(b), 0u) << b;
        }
        // Every other block, less the ones the system area took.
        EXPECT_GT(taken.size(), 240u);
        EXPECT_EQ(taken.count(255), 1u);
        EXPECT_TRUE(device->getAddress()->getCfgTableAddress());
        EXPECT_TRUE(device->getPageBitmap());
        EXPECT_EQ(list->getValidateSectorsNumber(), set->getBlocksCount() * 4 * 31);
    }
}

// Two chips seen as two planes: multi-plane block j joins blocks j and
// j + 128 and is bad when either is, and gives both blocks' pages.
TEST_F(LowLevelFormatStepTest, BlockModeKeepsOneSetOfTheGoodMultiPlaneBlocks)
{
    scanned(2, 128, 32, 4, {5, 9, 130}, {int64_t(100) * 32 * 4 + 3}, true);
    LowLevelFormatStep step(device, "CreatList");
    Sptr<BlockSet> set = onlySet(step, 0, 4, 64);
    ASSERT_TRUE(set);
    const std::vector<int> taken = blocksOf(set);
    for (int b : {2, 5, 9}) {
        EXPECT_EQ(std::count(taken.begin(), taken.end(), b), 0) << b;
    }
    EXPECT_GT(taken.size(), 115u);
    EXPECT_EQ(*std::max_element(taken.begin(), taken.end()), 127);
    EXPECT_TRUE(device->getAddress()->getCfgTableAddress());
}

// The first set starts where the configuration table may stand and names
// each block once; the allocator places the system area in it.
TEST_F(LowLevelFormatStepTest, SpecialSetListStartsWithAPlacedSetOfDistinctBlocks)
{
    scanned(1, 64, 16, 4, {3, 40});
    LowLevelFormatStep step(device, "CreatList");
    Sptr<SetList> list = step.setupSpecialSetList(2);
    ASSERT_TRUE(list);
    ASSERT_GE(list->getCount(), 1);
    Sptr<BlockSet> first = list->getData(0);
    const std::vector<int> taken = blocksOf(first);
    EXPECT_EQ(std::set<int>(taken.begin(), taken.end()).size(), taken.size());
    EXPECT_EQ(std::count(taken.begin(), taken.end(), 3) + std::count(taken.begin(), taken.end(), 40), 0);
    EXPECT_TRUE(device->getAddress()->getCfgTableAddress());
}

// No set list: too few good blocks for a set, or blocks too long to group
// (that device fails, the process goes on).
TEST_F(LowLevelFormatStepTest, NoSetListFromTooFewBlocksOrTooLongBlocks)
{
    std::vector<int> bad;
    for (int b = 39; b < 64; ++b) {
        bad.push_back(b);
    }
    scanned(1, 64, 32, 4, bad);
    LowLevelFormatStep few(device, "CreatList");
    EXPECT_EQ(few.setupSetList(1), -1);
    EXPECT_FALSE(few.getSetList());

    scanned(1, 16, 512, 4, {});
    LowLevelFormatStep longBlocks(device, "CreatList");
    EXPECT_EQ(longBlocks.setupSetList(1), -1);
}

// In block mode the one set must hold the index tables of a block set (29
// blocks): two chips of 32 blocks, block j of each chip in multi-plane block
// j, keep 29 multi-plane blocks beside the system area's with two of them
// bad, and 28 with three.
TEST_F(LowLevelFormatStepTest, BlockModeSetTooSmallForItsIndexTablesIsNoSetList)
{
    const struct {
        std::vector<int> bad;
        int result;
    } cases[] = {{{5, 6}, 0}, {{5, 6, 7}, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bad.size());
        scanned(2, 32, 32, 4, c.bad, {}, true);
        LowLevelFormatStep step(device, "CreatList");
        EXPECT_EQ(step.setupSetList(1), c.result);
        EXPECT_EQ(bool(step.getSetList()), c.result == 0);
    }
}

}  // namespace
