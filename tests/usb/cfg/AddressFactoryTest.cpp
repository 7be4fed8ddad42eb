// The system-area copies placed on hand-made bitmaps and block sets: one flash
// of 1024 blocks of 32 pages of 4 sectors, whose V31 positions in the first
// blocks are (2, 13), (4, 26), (7, 7), (9, 20) and (12, 1) by block and page.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "schema/device/BaseAddress.h"
#include "schema/device/DeviceFixture.h"
#include "schema/device/FakeOperations.h"
#include "support/StationFolder.h"
#include "support/TempFolder.h"
#include "usb/cfg/AddressFactory.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cfg/CfgPageSteps.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CodeFactory.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/SectorBitmap.h"

using Tessor::schema::BaseAddress;
using Tessor::schema::BaseData;
using Tessor::schema::UsbConfiguration;
using Tessor::usb::AddressFactory;
using Tessor::usb::AllocatAddress;
using Tessor::usb::BlockSet;
using Tessor::usb::CodeFactory;
namespace BitRange = Tessor::usb::BitRange;
namespace fs = std::filesystem;

namespace {

constexpr int BLOCKS = 1024;
constexpr int PAGES = 32;
constexpr int SECTORS = 4;

using Page = std::pair<int, int>;  // block, page

Page pageOf(const Sptr<BaseAddress>& a) { return {a->getBlockNo(), a->getPageNo()}; }

std::vector<Page> pagesOf(const Sptr<BaseAddress>& list)
{
    std::vector<Page> out;
    for (int i = 0; list && i < list->getCount(); ++i) {
        Sptr<BaseAddress> a = list->getData(i);
        out.push_back(pageOf(a));
    }
    return out;
}

// Pages first..first + n - 1 of one block.
std::vector<Page> run(int block, int first, int n)
{
    std::vector<Page> out;
    for (int i = 0; i < n; ++i) {
        out.push_back({block, first + i});
    }
    return out;
}

class AllocationTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        station.emplace(folder.path());
    }
    void TearDown() override
    {
        station.reset();
        DeviceFixture::TearDown();
    }

    // A scanned flash whose every page is usable, and block set 0 of the
    // given blocks (default 1..1023).
    void prepare(const std::string& chip, int version, int copies, bool dpf = false, std::vector<int> blocks = {})
    {
        UsbConfiguration* c = UsbConfiguration::instance();
        c->setChipSet(chip);
        c->setDpfSupport(dpf);
        c->setCfgTableCount(copies);
        c->addUdiskCodeImage(chip, "releases/code/udisk_6716.img");
        c->addDpfCodeImage("6716V31", "releases/code/dpf_6716V31.img");
        ASSERT_EQ(CodeFactory::init(), 0);
        giveGeometry(1, BLOCKS, PAGES, SECTORS);
        device->setDev(fakeDevice.record.get());
        ASSERT_NE(device->readVersionInfo(), nullptr);
        device->getVersion()->setVersionNumber(version);
        device->setCfgTable(Sptr<Tessor::usb::CfgTable>(
            new Tessor::usb::CfgTable(device, "ConfigTable", Tessor::usb::CFG_TABLE_DEVICE)));
        device->setSectorBitmap(Sptr<Tessor::usb::SectorBitmap>(new Tessor::usb::SectorBitmap(device, "SectorBitmap")));
        device->setPageBitmap(Sptr<Tessor::usb::PageBitmap>(new Tessor::usb::PageBitmap(device)));
        std::memset(pageBits(), 0, static_cast<size_t>(device->getPageBitmap()->getLength()));
        if (blocks.empty()) {
            for (int b = 1; b < BLOCKS; ++b) {
                blocks.push_back(b);
            }
        }
        set = Sptr<BlockSet>(new BlockSet(device, "BlockSet"));
        for (int b : blocks) {
            set->addBlock(set->getBlocksCount(), b);
        }
        set->setPagesCountEveryBlock(PAGES);
        set->setSectorCount(SECTORS);
        set->setStartSector(0);
    }

    unsigned char* pageBits() { return device->getPageBitmap()->getBitmap(); }
    void unusable(int block, int page) { BitRange::set(pageBits(), block * PAGES + page); }
    void unusableBlock(int block) { BitRange::fill(pageBits(), block * PAGES, PAGES, true); }

    bool allocate() { return device->getAddress()->allocateUDiskAddresses(set); }

    std::vector<Sptr<AllocatAddress>> copies()
    {
        std::vector<Sptr<AllocatAddress>> out;
        Sptr<AllocatAddress> all = device->getAllocatAddress();
        for (int i = 0; i < all->getCount(); ++i) {
            Sptr<AllocatAddress> one = all->getData(i);
            EXPECT_TRUE(one);
            out.push_back(one);
        }
        return out;
    }

    bool inSet(int block) const
    {
        for (int i = 0; i < set->getBlocksCount(); ++i) {
            if (set->getBlockNo(i) == block) {
                return true;
            }
        }
        return false;
    }

    // What every placement must give: each page usable, programmed by one
    // copy only, its block taken out of the set and marked bad, the table
    // at a position the rule accepts, and the run within 256 pages.
    void expectSound(bool v31Positions)
    {
        std::set<Page> seen;
        Sptr<Tessor::usb::BlockBitmap> blocks = device->getSectorBitmap()->getBlockBitmap();
        for (const Sptr<AllocatAddress>& copy : copies()) {
            std::vector<Page> pages = {pageOf(copy->getCfgTableAddress()), pageOf(copy->getFlagTableAddress()),
                                       pageOf(copy->getBuildInfoAddress())};
            for (const Sptr<BaseAddress>& list :
                 {copy->getExternalCodeAddress(), copy->getDpfCodeAddress(), copy->getPageBitmapAddress()}) {
                const std::vector<Page> more = pagesOf(list);
                pages.insert(pages.end(), more.begin(), more.end());
            }
            if (UsbConfiguration::instance()->getChipSet() == Tessor::schema::CHIPSET_6605) {
                pages.push_back(pageOf(copy->getExternalCodeIndexAddress()));
            }
            for (const Page& p : pages) {
                EXPECT_TRUE(seen.insert(p).second) << "page " << p.first << ":" << p.second << " twice";
                EXPECT_FALSE(BitRange::test(pageBits(), p.first * PAGES + p.second)) << p.first << ":" << p.second;
                EXPECT_FALSE(inSet(p.first)) << p.first;
                EXPECT_TRUE(blocks->isBad(p.first)) << p.first;
            }
            const int cfgBlock = copy->getCfgTableAddress()->getBlockNo();
            EXPECT_LE((copy->getBuildInfoAddress()->getBlockNo() - cfgBlock + 1) * PAGES, 256);
            if (v31Positions) {
                EXPECT_TRUE(AddressFactory::v31CfgTable8stepCheck(
                    cfgBlock * PAGES + copy->getCfgTableAddress()->getPageNo(), device));
            }
        }
    }

    std::optional<code_test::StationFolder> station;
    test_support::TempFolder folder;
    fake::Device fakeDevice;
    Sptr<BlockSet> set;
};

// Three copies on a 6716: each run starts at the next V31 position whose
// run fits, holds the table, the 8 code pages (4 pieces of 8 sectors at
// 2 pages each), the flag table and the build information; the page
// bitmap of each copy takes the first block left in the set.
TEST_F(AllocationTest, CopiesFollowTheRuleAndEachOtherWithoutSharingAPage)
{
    prepare("6716", 300, 3);
    ASSERT_TRUE(allocate());
    const std::vector<Sptr<AllocatAddress>> sets = copies();
    ASSERT_EQ(sets.size(), 3u);
    struct Expected {
        Page table;
        std::vector<Page> code;
        Page flag, build, bitmap;
    };
    std::vector<Page> secondCode = run(4, 27, 5);
    const std::vector<Page> secondTail = run(5, 0, 5);
    secondCode.insert(secondCode.end(), secondTail.begin(), secondTail.begin() + 3);
    const Expected expected[] = {
        {{2, 13}, run(2, 14, 8), {2, 22}, {2, 23}, {1, 0}},
        {{4, 26}, secondCode, {5, 3}, {5, 4}, {3, 0}},
        {{7, 7}, run(7, 8, 8), {7, 16}, {7, 17}, {6, 0}},
    };
    for (size_t i = 0; i < sets.size(); ++i) {
        SCOPED_TRACE(i);
        const AllocatAddress& s = *sets[i];
        EXPECT_EQ(pageOf(s.getCfgTableAddress()), expected[i].table);
        EXPECT_EQ(pagesOf(s.getExternalCodeAddress()), expected[i].code);
        EXPECT_EQ(pageOf(s.getFlagTableAddress()), expected[i].flag);
        EXPECT_EQ(pageOf(s.getBuildInfoAddress()), expected[i].build);
        // The bitmap of 4096 bytes fills two pages of 2048.
        EXPECT_EQ(pagesOf(s.getPageBitmapAddress()), run(expected[i].bitmap.first, 0, 2));
        EXPECT_FALSE(s.getCfgTableIndexAddress());
        EXPECT_FALSE(s.getExternalCodeIndexAddress());
        EXPECT_TRUE(s.getExternalCodeIndex());
    }
    expectSound(true);
    const AddressFactory& f = *device->getAddress();
    EXPECT_EQ(f.getPagesCountPerCode(), 2);
    EXPECT_EQ(f.getPagesCount4ExternalCode(), 8);
    EXPECT_EQ(f.getPagesCount4BlockSet0(), PAGES);
    EXPECT_EQ(f.getSectorsCount4BlockSet0(), SECTORS);
    EXPECT_FALSE(f.gethasCfgTableIndex());
    // Block sets 1 to 3 of the system area start where block set 0 does.
    const Tessor::usb::CodeCtrl& c = device->getCfgTable()->getCodeCtrl()->record();
    EXPECT_EQ(c.bSysStart0, 0);
    EXPECT_EQ(c.bSysCount1, SECTORS);
    EXPECT_EQ(c.bSysCount2, SECTORS);
}

// The 6605 has one page more: the first of its run is the external-code
// index. With several copies each copy has code pages of its own, so pass i
// programs only copy i's pages.
TEST_F(AllocationTest, The6605RunStartsWithItsCodeIndexAndEachCopyHasItsOwnCode)
{
    prepare("6605", 600, 2);
    ASSERT_TRUE(allocate());
    const std::vector<Sptr<AllocatAddress>> sets = copies();
    ASSERT_EQ(sets.size(), 2u);
    // One piece of 40 sectors: 10 pages.
    EXPECT_EQ(pageOf(sets[0]->getCfgTableAddress()), Page(2, 13));
    EXPECT_EQ(pageOf(sets[0]->getExternalCodeIndexAddress()), Page(2, 14));
    EXPECT_EQ(pagesOf(sets[0]->getExternalCodeAddress()), run(2, 15, 10));
    EXPECT_EQ(pageOf(sets[0]->getFlagTableAddress()), Page(2, 25));
    EXPECT_EQ(pageOf(sets[0]->getBuildInfoAddress()), Page(2, 26));
    EXPECT_EQ(pageOf(sets[1]->getCfgTableAddress()), Page(4, 26));
    EXPECT_EQ(pageOf(sets[1]->getExternalCodeIndexAddress()), Page(4, 27));
    EXPECT_EQ(device->getAddress()->getPagesCountPerCode(), 10);
    expectSound(true);
}

// Photo-frame support: its code pages follow the external code's in the
// same run, two pieces of 8 sectors each at two pages.
TEST_F(AllocationTest, PhotoFrameCodeFollowsTheExternalCode)
{
    prepare("6716", 300, 1, true);
    ASSERT_TRUE(allocate());
    const Sptr<AllocatAddress> s = copies().at(0);
    EXPECT_EQ(pagesOf(s->getExternalCodeAddress()), run(2, 14, 4));
    EXPECT_EQ(pagesOf(s->getDpfCodeAddress()), run(2, 18, 4));
    EXPECT_EQ(pageOf(s->getFlagTableAddress()), Page(2, 22));
    EXPECT_EQ(device->getAddress()->getPagesCount4DpfCode(), 4);
    EXPECT_EQ(pagesOf(device->getAddress()->getDpfCodeAddress()), run(2, 18, 4));
    expectSound(true);
}

// Index-pointer firmware takes any usable page, one copy per index page
// chosen before: three asked for, two pre-allocated, two made.
TEST_F(AllocationTest, IndexPointerCopiesAreBoundedByTheIndexPages)
{
    prepare("6716V31", 310, 3);
    Sptr<BaseAddress> index(new BaseAddress(device, 100, 0, 0));
    for (int b : {100, 101}) {
        index->addData(Sptr<BaseData>(new BaseAddress(device, b, 0, 0)));
    }
    device->setPerAllocateCfgIndexPtr(index);
    unusable(1, 0);
    ASSERT_TRUE(allocate());
    const std::vector<Sptr<AllocatAddress>> sets = copies();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(pageOf(sets[0]->getCfgTableAddress()), Page(1, 1));
    EXPECT_EQ(pageOf(sets[0]->getCfgTableIndexAddress()), Page(100, 0));
    EXPECT_EQ(pageOf(sets[0]->getExternalCodeIndexAddress()), Page(100, 0));
    EXPECT_EQ(pageOf(sets[1]->getCfgTableAddress()), Page(3, 0));
    EXPECT_EQ(pageOf(sets[1]->getCfgTableIndexAddress()), Page(101, 0));
    EXPECT_EQ(pagesOf(device->getAddress()->getCfgTableIndexAddress()), (std::vector<Page>{{100, 0}, {101, 0}}));
    EXPECT_TRUE(device->getAddress()->gethasCfgTableIndex());
    expectSound(false);
}

// Unusable pages are passed over in the run and in the page bitmap, which
// goes on to the next block until it has every page it needs; a block
// without a usable page stays in the set.
TEST_F(AllocationTest, UnusablePagesArePassedOver)
{
    prepare("6716", 300, 1);
    unusable(2, 15);
    unusable(2, 20);
    unusableBlock(1);
    for (int p = 1; p < PAGES; ++p) {
        unusable(3, p);
    }
    ASSERT_TRUE(allocate());
    const Sptr<AllocatAddress> s = copies().at(0);
    std::vector<Page> code = {{2, 14}, {2, 16}, {2, 17}, {2, 18}, {2, 19}, {2, 21}, {2, 22}, {2, 23}};
    EXPECT_EQ(pagesOf(s->getExternalCodeAddress()), code);
    EXPECT_EQ(pageOf(s->getBuildInfoAddress()), Page(2, 25));
    EXPECT_EQ(pagesOf(s->getPageBitmapAddress()), (std::vector<Page>{{3, 0}, {4, 0}}));
    EXPECT_TRUE(inSet(1));
    expectSound(true);
}

// A table position whose run would span more than 256 pages is given up
// for the next block; a run reaching the set's end fails the allocation.
TEST_F(AllocationTest, RunsSpanAtMost256PagesAndEndBeforeTheSet)
{
    std::vector<int> blocks = {4};
    for (int b = 20; b < 40; ++b) {
        blocks.push_back(b);
    }
    prepare("6716", 300, 1, false, blocks);
    ASSERT_TRUE(allocate());
    // (4, 26) needs blocks 4 and 20: 17 blocks apart.
    EXPECT_EQ(pageOf(copies().at(0)->getCfgTableAddress()), Page(21, 21));
    // Block 4 stayed for the page bitmap.
    EXPECT_EQ(pagesOf(copies().at(0)->getPageBitmapAddress()), run(4, 0, 2));
    expectSound(true);
}

// Every way the first copy cannot be placed leaves the allocation false
// (the device then fails the format with 0x8021); nothing of the run is
// taken when its blocks hold too few usable pages.
TEST_F(AllocationTest, FirstCopyFailures)
{
    struct Case {
        const char* what;
        const char* chip;
        int version;
        std::vector<int> blocks;
        std::vector<int> unusableBlocks;
        size_t externalBytes;
    };
    const Case cases[] = {
        // No page may hold a table on a 6706 of firmware 240.
        {"6706", "6706", 240, {}, {}, 0},
        {"run reaches the set's end", "6716", 300, {4, 5}, {}, 0},
        {"run short of usable pages", "6716", 300, {4, 5, 6, 7}, {5}, 0},
        {"no page bitmap block", "6716", 300, {2, 3}, {3}, 0},
        // 24 pieces of 8 sectors: 48 code pages, more than the record lists.
        {"code past the record", "6716", 300, {}, {}, 24 * 4096},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        if (c.externalBytes > 0) {
            dpf_test::writeFile("releases/code/vor_mp3_code.IMG", dpf_test::Bytes(c.externalBytes, 3));
        }
        prepare(c.chip, c.version, 2, false, c.blocks);
        for (int b : c.unusableBlocks) {
            unusableBlock(b);
        }
        const int before = set->getBlocksCount();
        EXPECT_FALSE(allocate());
        EXPECT_EQ(copies().size(), 0u);
        if (std::string(c.what) == "run short of usable pages") {
            EXPECT_EQ(set->getBlocksCount(), before);
            EXPECT_FALSE(device->getSectorBitmap()->getBlockBitmap()->isBad(4));
        }
    }
}

// A later copy that finds no room ends the copies: the ones made stay, and
// no copy repeats another's pages.
TEST_F(AllocationTest, ALaterCopyWithoutRoomEndsTheCopies)
{
    prepare("6716", 300, 3, false, {2, 3, 4, 5, 6});
    ASSERT_TRUE(allocate());
    ASSERT_EQ(copies().size(), 2u);
    EXPECT_EQ(pageOf(copies()[1]->getCfgTableAddress()), Page(4, 26));
    EXPECT_EQ(set->getBlocksCount(), 0);
    expectSound(true);

    // No copy asked for: nothing placed, yet the system block sets are set.
    TearDown();
    SetUp();
    prepare("6716", 300, 0);
    EXPECT_TRUE(allocate());
    EXPECT_EQ(copies().size(), 0u);
}

// The index pages: V31 positions from block 2 on with at least one good
// sector, as many as copies, their blocks marked bad in both bitmaps.
TEST_F(AllocationTest, IndexPointerPagesOnTheSectorBitmap)
{
    prepare("6716V31", 310, 2);
    Tessor::usb::SectorBitmap& sectors = *device->getSectorBitmap();
    const auto sectorOf = [](int block, int page, int sector) {
        return (int64_t(block) * PAGES + page) * SECTORS + sector;
    };
    BitRange::fill(sectors.getBitmap(), sectorOf(2, 13, 0), SECTORS, true);
    BitRange::fill(sectors.getBitmap(), sectorOf(4, 26, 0), SECTORS - 1, true);
    Sptr<BaseAddress> pages = device->getAddress()->allocateIndexPointerAddr(device);
    ASSERT_TRUE(pages);
    EXPECT_EQ(pagesOf(pages), (std::vector<Page>{{4, 26}, {7, 7}}));
    EXPECT_EQ(pageOf(pages), Page(4, 26));
    for (int b : {4, 7}) {
        EXPECT_TRUE(sectors.getBlockBitmap()->isBad(b));
        EXPECT_TRUE(BitRange::test(sectors.getBitmap(), sectorOf(b, 0, 0)));
    }
    EXPECT_FALSE(sectors.getBlockBitmap()->isBad(2));

    BitRange::fill(sectors.getBitmap(), 0, int64_t(BLOCKS) * PAGES * SECTORS, true);
    EXPECT_FALSE(device->getAddress()->allocateIndexPointerAddr(device));
}

}  // namespace
