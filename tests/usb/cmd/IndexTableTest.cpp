#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "support/LogCapture.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/SimulatedDevice.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/IndexTable.h"
#include "usb/cmd/IndexTableSet.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/SetList.h"

namespace Tessor::usb::test {
namespace {

using taval::OpKind;

// Set positions are mapped to block numbers with an offset, so a test tells
// a position from a block number.
constexpr int kFirstBlock = 16;

int be16(const unsigned char* at) { return (at[0] << 8) | at[1]; }

// A 1024-block simulated device whose pages are all usable; the controller
// variant picks the firmware version.
class IndexTables : public SimulatedDevice {
protected:
    void SetUp() override
    {
        chips = 1;
        blocksPerChip = 1024;
        SimulatedDevice::SetUp();
        ASSERT_NE(device->readVersionInfo(), nullptr);
        pages = Sptr<PageBitmap>(new PageBitmap(device));
        for (int b = 0; b < blocksPerChip; ++b) {
            pages->releaseBlock(b);
        }
        device->setPageBitmap(pages);
        sets = Sptr<SetList>(new SetList(device, "SetList"));
    }

    Sptr<BlockSet> setOf(int blocks, int first = kFirstBlock)
    {
        Sptr<BlockSet> set(new BlockSet(device, "BlockSet"));
        for (int i = 0; i < blocks; ++i) {
            set->addBlock(i, first + i);
        }
        sets->addData(set);
        return set;
    }

    void blockMode()
    {
        Sptr<schema::ConfigInfo> settings(new schema::ConfigInfo());
        settings->setBlockMode(true);
        EXPECT_EQ(device->setConfigInfo(settings), 0);
    }

public:
    std::vector<taval::OpRecord> log() { return opLog(); }

protected:
    Sptr<PageBitmap> pages;
    Sptr<SetList> sets;
};

class IndexTables240 : public IndexTables {
protected:
    IndexTables240() { variant = "6706"; }
};

// What the tables of a set of n blocks must look like, by set position.
struct Shape {
    int blocks;
    int level2Count;
    std::vector<int> level2At;       // positions of the level-2 tables
    std::vector<int> entries;        // entries of each
    int level1At;
    int firstData;                   // position of the first data block
};

void expectShape(const IndexTable& table, const Shape& s)
{
    SCOPED_TRACE(s.blocks);
    ASSERT_EQ(table.getLevel2Count(), s.level2Count);
    const auto& items = table.getItems();
    ASSERT_EQ(items.size(), s.level2At.size() + 1);
    const int setNo = table.getBlockSet()->getIndex();
    EXPECT_EQ(items[0]->getBlockNo(), kFirstBlock + s.level1At);
    const unsigned char* l1 = items[0]->getTable();
    EXPECT_EQ(l1[1], s.level2Count);
    int next = s.firstData;
    for (size_t t = 0; t < s.level2At.size(); ++t) {
        const Sptr<IndexItem>& l2 = items[t + 1];
        EXPECT_EQ(l2->getBlockNo(), kFirstBlock + s.level2At[t]);
        EXPECT_EQ(be16(l1 + 224 + 2 * t), kFirstBlock + s.level2At[t]) << "level-1 names table " << t;
        for (int e = 0; e < 256; ++e) {
            const int want = e < s.entries[t] ? kFirstBlock + next++ : 0;
            ASSERT_EQ(be16(l2->getTable() + 2 * e), want) << "table " << t << " entry " << e;
        }
    }
    EXPECT_EQ(next, s.blocks) << "every data block is listed once";
    for (int r = 0; r < 24; ++r) {
        EXPECT_EQ(be16(l1 + 176 + 2 * r), kFirstBlock + r);
    }
    EXPECT_EQ(l1[507], setNo);
    // the set keeps its data blocks only
    const Sptr<BlockSet> set = table.getBlockSet();
    ASSERT_EQ(set->getBlocksCount(), s.blocks - s.firstData);
    EXPECT_EQ(set->getBlockNo(0), kFirstBlock + s.firstData);
}

TEST_F(IndexTables, SetsOfEverySizeGetTheirTables)
{
    test_support::LogCapture log;
    Sptr<BlockSet> tiny = setOf(28);
    std::vector<Shape> shapes = {
        {29, 1, {24}, {3}, 25, 26},
        // 254 data blocks need one table, but two are counted: the second is
        // made empty, so the level-1 table names no missing block.
        {281, 2, {24, 25}, {254, 0}, 26, 27},
        {1000, 4, {24, 25, 26, 27}, {256, 256, 256, 203}, 28, 29},
    };
    for (const Shape& s : shapes) {
        setOf(s.blocks);
    }
    Sptr<IndexTableSet> all = sets->createIndexTableSet();
    ASSERT_TRUE(all);
    EXPECT_EQ(tiny->getBlocksCount(), 0);
    EXPECT_EQ(tiny->getSectorCount(), 0);
    EXPECT_EQ(tiny->getPagesCountEveryBlock(), 0);
    ASSERT_EQ(all->getCount(), 3);
    for (size_t i = 0; i < shapes.size(); ++i) {
        expectShape(*all->getIndexTable(int(i)), shapes[i]);
    }
    const unsigned char* l1 = all->getIndexTable(1)->getItems()[0]->getTable();
    EXPECT_NE(be16(l1 + 226), 0xFFFF);
    EXPECT_NE(log.text().find("Block No. 29 out of range 29"), std::string::npos);
    EXPECT_NE(log.text().find("BlockSet has Block Numbers too little(28)"), std::string::npos);
}

// Before the set number at byte 507 the level-1 table lists at most 94
// level-2 tables on this firmware: a set that needs one more gets none.
TEST_F(IndexTables, ASetWhoseLevel2ListOverrunsTheLevel1TableGetsNoTables)
{
    test_support::LogCapture log;
    Sptr<IndexTable> fits(new IndexTable(device, setOf(24 + 94 * 256)));
    EXPECT_EQ(fits->getLevel2Count(), 94);
    EXPECT_EQ(fits->getItems().size(), 95u);
    Sptr<IndexTable> over(new IndexTable(device, setOf(24 + 94 * 256 + 12)));
    EXPECT_EQ(over->getLevel2Count(), 95);
    EXPECT_TRUE(over->getItems().empty());
    EXPECT_NE(log.text().find("95 level-2 index tables of block set 1 do not fit into its level-1 table"),
              std::string::npos);
}

TEST_F(IndexTables, Level1TableBytesOfNewerFirmware)
{
    Sptr<IndexTable> table(new IndexTable(device, setOf(1000)));
    std::array<unsigned char, 512> want;
    want.fill(0xFF);
    const unsigned char head[] = {24, 4, 24, 10, 0, 0};
    std::memcpy(want.data(), head, sizeof(head));
    for (int r = 0; r < 24; ++r) {
        want[176 + 2 * r] = 0;
        want[177 + 2 * r] = static_cast<unsigned char>(kFirstBlock + r);
    }
    for (int t = 0; t < 4; ++t) {
        want[224 + 2 * t] = 0;
        want[225 + 2 * t] = static_cast<unsigned char>(kFirstBlock + 24 + t);
        want[232 + t] = 0;  // one zero byte per level-2 table
    }
    want[507] = 0;
    const unsigned char magic[] = {0x12, 0x35, 0x47, 0x68};
    std::memcpy(want.data() + 508, magic, 4);
    const unsigned char* got = table->getItems()[0]->getTable();
    for (int i = 0; i < 512; ++i) {
        ASSERT_EQ(got[i], want[i]) << "byte " << i;
    }
}

TEST_F(IndexTables, BlockModeAddsTwoBitsPerLevel2Table)
{
    blockMode();
    setOf(3);  // the set under test is number 1
    Sptr<IndexTable> one(new IndexTable(device, setOf(29)));
    const unsigned char* l1 = one->getItems()[0]->getTable();
    EXPECT_EQ(l1[226], 0x00);  // the zero byte of the one table
    EXPECT_EQ(l1[227], 0xFC);  // its two bits cleared, the rest set
    EXPECT_EQ(l1[228], 0xFF);
    EXPECT_EQ(l1[507], 1);
}

TEST_F(IndexTables240, HeaderNamesTheEndOfTheLevel2List)
{
    Sptr<IndexTable> table(new IndexTable(device, setOf(1000)));
    const unsigned char* l1 = table->getItems()[0]->getTable();
    EXPECT_EQ(l1[6], 0x00);
    EXPECT_EQ(l1[7], 0xEA);
    EXPECT_EQ(be16(l1 + 178), kFirstBlock);
    EXPECT_EQ(be16(l1 + 226), kFirstBlock + 24);
    EXPECT_EQ(be16(l1 + 232), kFirstBlock + 27);
    EXPECT_EQ(l1[234], 0xFF);  // no zero bytes on this firmware
}

TEST_F(IndexTables, Level1TableStepsPastABlockWithoutAFreePage)
{
    // the first candidate (position 25) has no usable page
    BitRange::fill(pages->getBitmap(), int64_t(kFirstBlock + 25) * PAGES, PAGES, true);
    BitRange::set(pages->getBitmap(), int64_t(kFirstBlock + 24) * PAGES);  // level-2 table goes to page 1
    Sptr<IndexTable> table(new IndexTable(device, setOf(29)));
    ASSERT_EQ(table->getItems().size(), 2u);
    EXPECT_EQ(table->getItems()[0]->getBlockNo(), kFirstBlock + 26);
    EXPECT_EQ(table->getItems()[1]->getAddress()->getPageNo(), 1);
}

TEST_F(IndexTables, Level2BlockWithoutAFreePageGivesNoTables)
{
    BitRange::fill(pages->getBitmap(), int64_t(kFirstBlock + 24) * PAGES, PAGES, true);
    Sptr<IndexTable> table(new IndexTable(device, setOf(40)));
    EXPECT_TRUE(table->getItems().empty());
}

// Erases and programs in the device's log, in order, by kind and sector.
std::vector<std::pair<OpKind, int64_t>> writes(const std::vector<taval::OpRecord>& log)
{
    std::vector<std::pair<OpKind, int64_t>> out;
    for (const taval::OpRecord& op : log) {
        if (op.kind == OpKind::Erase || op.kind == OpKind::Program || op.kind == OpKind::IndexTable) {
            out.push_back({op.kind, op.args[1]});
        }
    }
    return out;
}

// Writes the tables of a 281-block set and checks the device saw each block
// erased right before its table went in, the level-1 table by `level1`.
void writeAndReadBack(IndexTables& fixture, schema::UsbDevice* device, IndexTableSet& all, OpKind level1,
    const std::vector<taval::OpRecord>& before)
{
    ASSERT_EQ(all.writeFlash(device), 0);
    const auto& items = all.getIndexTable(0)->getItems();
    std::vector<std::pair<OpKind, int64_t>> want = writes(before);
    for (size_t n = 0; n < items.size(); ++n) {
        Sptr<schema::BaseAddress> at = items[n]->getAddress();
        want.push_back({OpKind::Erase, int64_t(items[n]->getBlockNo()) * 16 * 4});
        want.push_back({n == 0 ? level1 : OpKind::Program, at->getPhyAddress()});
    }
    EXPECT_EQ(writes(fixture.log()), want);
    EXPECT_EQ(all.validateFlash(device), 0);
}

TEST_F(IndexTables, TablesAreErasedThenWrittenAndReadBack)
{
    Sptr<IndexTableSet> all(new IndexTableSet(device));
    all->addBlockSet(setOf(281));
    writeAndReadBack(*this, device, *all, OpKind::Program, log());
    for (const Sptr<IndexItem>& item : all->getIndexTable(0)->getItems()) {
        const unsigned char* read = device->readFlashSectors(item->getAddress(), 1);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(std::memcmp(read, item->getTable(), 512), 0);
    }
    // outside the single-plane layout the level-1 table takes the command of its own
    ASSERT_EQ(device->setCurrentPlaneInfo(Sptr<schema::PlaneInfo>(new schema::PlaneInfo(1, 1, 2))), 0);
    writeAndReadBack(*this, device, *all, OpKind::IndexTable, log());
}

TEST_F(IndexTables240, Level1TableGoesThroughItsOwnCommand)
{
    Sptr<IndexTableSet> all(new IndexTableSet(device));
    all->addBlockSet(setOf(29));
    writeAndReadBack(*this, device, *all, OpKind::IndexTable, log());
}

// A bit of the level-1 table of a 29-block set (block 41, page 0) reads back flipped.
class IndexTablesFlipped : public IndexTables {
protected:
    IndexTablesFlipped() { extraKeys = {{"Faults.ChangedPages", std::to_string((kFirstBlock + 25) * PAGES)}}; }
};

TEST_F(IndexTablesFlipped, FlippedBitFailsValidation)
{
    test_support::LogCapture capture;
    Sptr<IndexTableSet> all(new IndexTableSet(device));
    all->addBlockSet(setOf(29));
    ASSERT_EQ(all->writeFlash(device), 0);
    EXPECT_EQ(all->validateFlash(device), -1);
    EXPECT_NE(capture.text().find("Index Table 0 validate failed"), std::string::npos);
}

// The device refuses one command; the walk over two sets stops there.
struct Refusal {
    const char* fault;
    bool onWrite;  // else on the read-back
    const char* line;
};

class IndexTablesRefused : public IndexTables, public ::testing::WithParamInterface<Refusal> {
protected:
    IndexTablesRefused() { extraKeys = test_support::faultRule(GetParam().fault); }
};

TEST_P(IndexTablesRefused, WalkStopsWithMinusOne)
{
    test_support::LogCapture capture;
    Sptr<IndexTableSet> all(new IndexTableSet(device));
    all->addBlockSet(setOf(29));
    all->addBlockSet(setOf(29, 100));
    if (GetParam().onWrite) {
        EXPECT_EQ(all->writeFlash(device), -1);
    } else {
        ASSERT_EQ(all->writeFlash(device), 0);
        EXPECT_EQ(all->validateFlash(device), -1);
    }
    EXPECT_NE(capture.text().find(GetParam().line), std::string::npos) << capture.text();
}

INSTANTIATE_TEST_SUITE_P(Commands, IndexTablesRefused,
    ::testing::Values(Refusal{"FailErase=3", true, "Erase Block on 125 for index table"},
        Refusal{"FailProgram=4", true, "Write Index Table for Block Set 1 for device"},
        Refusal{"FailRead=2", false, "Read Block from 40 for index table"}));

}  // namespace
}  // namespace Tessor::usb::test
