#include <set>

#include "ScanTestSupport.h"

using scan_test::Device;
using scan_test::Keys;
using scan_test::Layout;
using scan_test::ramTable6716;
using scan_test::scanCdb;

namespace {

// 1 chip x 32 blocks x 16 pages x 4 sectors.
constexpr int kSpb = 64;
const Keys kSmall = {{"Device.Chips", "1"}, {"Device.BlocksPerChip", "32"}};

Keys with(Keys keys) {
    for (const auto& [k, v] : kSmall) {
        keys.emplace(k, v);
    }
    return keys;
}

struct Reading {
    std::set<int> failed;       // sectors of the block the result read reports failed
    std::set<int> readsWrong;   // sectors whose flash read is not the controller's pattern
};

// Erase, then pattern write and result read over every page of a block,
// then a flash read of the block.
Reading blockPass(Device& dev, int block, int tolerance = 0) {
    EXPECT_TRUE(dev->eraseBlocks(0, int64_t(block) * kSpb, 1));
    EXPECT_EQ(dev.vendor(scanCdb(0, uint32_t(block * kSpb), 1, 4, 16, 0, tolerance)), 0);
    EXPECT_EQ(dev.vendor(scanCdb(0, uint32_t(block * kSpb), 2, 4, 16, 0, tolerance)), 0);
    Reading r;
    for (int i = 0; i < kSpb; ++i) {
        if (dev.failedBit(i)) {
            r.failed.insert(i);
        }
    }
    std::vector<uint8_t> data(size_t(kSpb) * 512);
    int length = 0;
    EXPECT_TRUE(dev->readFlash(0, int64_t(block) * kSpb, kSpb, data.data(), int(data.size()), &length));
    for (int i = 0; i < kSpb; ++i) {
        for (int j = 0; j < 512; ++j) {
            if (data[size_t(i * 512 + j)] != ((j & 1) != 0 ? 0xAA : 0x55)) {
                r.readsWrong.insert(i);
                break;
            }
        }
    }
    return r;
}

std::set<int> range(int first, int last, int step = 1) {
    std::set<int> s;
    for (int i = first; i <= last; i += step) {
        s.insert(i);
    }
    return s;
}

// Hard faults fail both readings, weak ones only the first of two (they
// fail on every odd-numbered program of their page); the flash reads of the
// block show the same sectors damaged.
TEST(ScanFaults, EachMediaRuleFailsItsSectorsInTheResultAndTheReads) {
    const struct {
        const char* name;
        Keys keys;
        std::set<int> reading0, reading1;
    } cases[] = {
        {"hard bad sector", {{"Faults.BadSectors", "261"}}, {5}, {5}},
        {"factory-bad block", {{"Faults.BadBlocks", "4"}}, range(0, 63), range(0, 63)},
        {"mostly-bad block", {{"Faults.MostlyBadBlocks", "4:60"}}, range(4, 63), range(4, 63)},
        {"first page bad", {{"Faults.FirstPageBadBlocks", "4"}}, range(0, 3), range(0, 3)},
        {"weak sector", {{"Faults.WeakSectors", "263"}}, {7}, {}},
        {"weak page in every block", {{"Faults.WeakBlockPages", "2"}}, {8}, {}},
        {"weak pages, two sectors each",
         {{"Faults.WeakBlockPages", "2"}, {"Faults.WeakSectorsPerPage", "2"}}, {8, 9}, {}},
        {"upper half weak", {{"Faults.UpperHalfWeak", "4"}}, range(32, 60, 4), {}},
        {"upper half weak elsewhere", {{"Faults.UpperHalfWeak", "5"}}, {}, {}},
        {"upper half weak everywhere", {{"Faults.UpperHalfWeak", "all"}}, range(32, 60, 4), {}},
        {"clean", {}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Device dev(with(c.keys));
        const Reading r0 = blockPass(dev, 4);
        const Reading r1 = blockPass(dev, 4);
        EXPECT_EQ(r0.failed, c.reading0);
        EXPECT_EQ(r1.failed, c.reading1);
        EXPECT_EQ(r0.readsWrong, c.reading0);
        EXPECT_EQ(r1.readsWrong, c.reading1);
    }
}

// The pattern block's first byte is the count of wrong bytes tolerated.
TEST(ScanFaults, ToleranceForgivesWeakSectorsWithFewWrongBytesOnly) {
    Device dev(with({{"Faults.WeakSectors", "263"}, {"Faults.WeakWrongBytes", "3"}, {"Faults.BadSectors", "270"}}));
    EXPECT_EQ(blockPass(dev, 4, 2).failed, (std::set<int>{7, 14}));
    blockPass(dev, 4);  // the weak sector's quiet reading
    EXPECT_EQ(blockPass(dev, 4, 3).failed, (std::set<int>{14}));
}

// Page 3 suffers only when page 5 of its block was programmed since the
// erase; odd block 5 only while even block 4 holds programmed pages.
TEST(ScanFaults, DisturbRulesDependOnWhatElseWasProgrammed) {
    const Keys paired = with({{"Faults.PairedPages", "3:5"}});
    Device both(paired);
    EXPECT_EQ(blockPass(both, 4).failed, (std::set<int>{12}));
    Device alone(paired);
    ASSERT_EQ(alone.vendor(scanCdb(0, 4 * kSpb + 12, 1, 4, 1)), 0);  // page 3 only
    ASSERT_EQ(alone.vendor(scanCdb(0, 4 * kSpb + 12, 2, 4, 1)), 0);
    EXPECT_FALSE(alone.failedBit(0));

    const Keys adjacent = with({{"Faults.AdjacentBlockDisturb", "all"}});
    Device pair(adjacent);
    ASSERT_EQ(pair.vendor(scanCdb(0, 4 * kSpb, 1, kSpb, 2)), 0);  // page 0 of blocks 4 and 5
    ASSERT_EQ(pair.vendor(scanCdb(0, 4 * kSpb, 2, kSpb, 2)), 0);
    EXPECT_FALSE(pair.failedBit(0));
    EXPECT_TRUE(pair.failedBit(4));
    Device odd(adjacent);
    ASSERT_EQ(odd.vendor(scanCdb(0, 5 * kSpb, 1, kSpb, 1)), 0);
    ASSERT_EQ(odd.vendor(scanCdb(0, 5 * kSpb, 2, kSpb, 1)), 0);
    EXPECT_FALSE(odd.failedBit(0));
}

// C pages of a 128-page block (94 real): 6, 9, ..., 93.
TEST(ScanFaults, TripleLevelCellCPagesAreWeak) {
    Device dev(Keys{{"Device.Chips", "1"},
                    {"Device.BlocksPerChip", "8"},
                    {"Device.PagesPerBlock", "128"},
                    {"Device.RealPagesPerBlock", "94"},
                    {"Device.SectorsPerPage", "1"},
                    {"Faults.CPagesWeak", "all"}});
    ASSERT_EQ(dev.vendor(scanCdb(0, 0, 1, 1, 128)), 0);
    ASSERT_EQ(dev.vendor(scanCdb(0, 0, 2, 1, 128)), 0);
    std::set<int> failed;
    for (int i = 0; i < 128; ++i) {
        if (dev.failedBit(i)) {
            failed.insert(i);
        }
    }
    std::set<int> expected = range(6, 93, 3);
    const std::set<int> absent = range(94, 127);
    expected.insert(absent.begin(), absent.end());
    EXPECT_EQ(failed, expected);
}

// Drawn weak failures come from the seed alone.
TEST(ScanFaults, DrawnWeakSectorsRepeatWithTheSeedAndDifferBetweenReadings) {
    auto readings = [](const std::string& seed) {
        Device dev(with({{"Faults.Seed", seed}, {"Faults.WeakSectorFraction", "0.3"}, {"Faults.WeakProbability", "0.5"}}));
        std::vector<std::set<int>> out;
        for (int i = 0; i < 4; ++i) {
            out.push_back(blockPass(dev, 4).failed);
        }
        return out;
    };
    const std::vector<std::set<int>> a = readings("7");
    EXPECT_EQ(a, readings("7"));
    EXPECT_NE(a, readings("8"));
    EXPECT_NE(a[0], a[1]);
    EXPECT_FALSE(a[0].empty());
}

// Cycle bytes in the RAM table faster than the flash allows corrupt what is
// written and what is read.
TEST(ScanFaults, TooFastCyclesCorruptWritesAndReads) {
    Device dev(with({{"Faults.MinCycle", "0x11"}}));
    std::vector<uint8_t> data(512);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = uint8_t(i * 7);
    }
    std::vector<uint8_t> back(512);
    int length = 0;
    auto writeAndRead = [&](int sector, int readCycle, int writeCycle) {
        Layout l;
        l.writeCycle = writeCycle;
        EXPECT_TRUE(dev->writeTableToRam(ramTable6716(l).data()));
        EXPECT_TRUE(dev->writeFlash(0, sector, 1, data.data()));
        l.readCycle = readCycle;
        EXPECT_TRUE(dev->writeTableToRam(ramTable6716(l).data()));
        EXPECT_TRUE(dev->readFlash(0, sector, 1, back.data(), 512, &length));
        return back == data;
    };
    EXPECT_TRUE(writeAndRead(0, 0x11, 0x11));
    EXPECT_FALSE(writeAndRead(4, 0x00, 0x11));
    EXPECT_FALSE(writeAndRead(8, 0x11, 0x01));
    EXPECT_TRUE(writeAndRead(12, 0x13, 0x13));
}

TEST(ScanFaults, VendorCommandsFailForAFewAttemptsOrForGood) {
    Device transient(with({{"Faults.VendorFailAfter", "2"}, {"Faults.VendorFailAttempts", "2"}}));
    Device permanent(with({{"Faults.VendorFailAfter", "2"}}));
    const std::vector<uint8_t> cdb = scanCdb(0, 0, 2, 4, 1);
    std::vector<int> t;
    std::vector<int> p;
    for (int i = 0; i < 6; ++i) {
        t.push_back(transient.vendor(cdb));
        p.push_back(permanent.vendor(cdb));
    }
    EXPECT_EQ(t, (std::vector<int>{0, 0, 2, 2, 0, 0}));
    EXPECT_EQ(p, (std::vector<int>{0, 0, 2, 2, 2, 2}));
}

// The transfer is the 1024 result bytes: the rest of a larger buffer keeps
// what it held, and a command that fails reports every sector failed.
TEST(ScanFaults, VendorResultFillsItsOwnBytesAndFailureReadsAsFailed) {
    Device dev(with({{"Faults.VendorFailAfter", "2"}}));
    std::vector<uint8_t> buffer(2048, 0xEE);
    auto vendor = [&](const std::vector<uint8_t>& cdb) {
        std::fill(buffer.begin(), buffer.begin() + 1024, 0xEE);
        return dev->vendorCommand(cdb.data(), buffer.data(), int(buffer.size()));
    };
    const std::vector<uint8_t> tail(1024, 0xEE);
    const std::vector<uint8_t> allFailed(1024, 0xFF);
    ASSERT_EQ(vendor(scanCdb(0, 0, 1, 4, 16)), 0);
    ASSERT_EQ(vendor(scanCdb(0, 0, 2, 4, 16)), 0);
    EXPECT_EQ(buffer[0], 0x00);  // block 0 good
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 1024, buffer.end()), tail);
    for (const auto& cdb : {scanCdb(0, 0, 2, 4, 16), scanCdb(0, 0, 7, 4, 16)}) {
        EXPECT_EQ(vendor(cdb), 2);
        EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 1024), allFailed);
        EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 1024, buffer.end()), tail);
    }
    // Too small for the transfer: refused, nothing written.
    std::vector<uint8_t> small(512, 0xEE);
    EXPECT_EQ(dev->vendorCommand(scanCdb(0, 0, 2, 4, 16).data(), small.data(), int(small.size())), 2);
    EXPECT_EQ(small, std::vector<uint8_t>(512, 0xEE));
}

// A pattern write covers only the units a result read can report: 8192 bits
// are 2048 pages of 4 sectors.
TEST(ScanFaults, PatternWriteStopsAtTheUnitsAResultCanReport) {
    Device dev(Keys{{"Device.Chips", "1"}, {"Device.BlocksPerChip", "256"}});
    ASSERT_EQ(dev.vendor(scanCdb(0, 0, 1, 4, 3000)), 0);
    EXPECT_EQ(dev->pageState(2047), Tessor::taval::PageState::Pattern);
    EXPECT_EQ(dev->pageState(2048), Tessor::taval::PageState::Erased);
    EXPECT_EQ(dev->pageState(2999), Tessor::taval::PageState::Erased);
}

}  // namespace
