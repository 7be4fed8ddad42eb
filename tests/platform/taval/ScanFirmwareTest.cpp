#include <filesystem>
#include <random>
#include <set>

#include "ScanTestSupport.h"
#include "platform/taval/RamFlashInfo.h"
#include "platform/taval/ScanUnits.h"
#include "platform/taval/Variant.h"

using scan_test::Device;
using scan_test::Keys;
using scan_test::Layout;
using scan_test::ramTable6716;
using scan_test::scanCdb;
using Tessor::taval::PageState;

namespace {

TEST(ScanFirmware, CommandBlockFieldsAreReadHighByteFirst) {
    const std::vector<uint8_t> cdb = scanCdb(3, 0x12345, 2, 0x0102, 0x0304, 1, 5);
    const Tessor::taval::ScanCommand c = Tessor::taval::ScanCommand::fromCdb(cdb.data());
    EXPECT_EQ(c.sector, 0x12345);
    EXPECT_EQ(c.chip, 3);
    EXPECT_EQ(c.op, 2);
    EXPECT_EQ(c.jump, 0x0102);
    EXPECT_EQ(c.repeat, 0x0304);
    EXPECT_EQ(c.flag, 1);
    EXPECT_EQ(c.tolerance(), 5);
}

// Each variant keeps the plane byte, cycle bytes and error-correction bits
// at its own place in FLASH_INFO (block at 0x0C of the table).
TEST(ScanFirmware, RamReaderFindsEachVariantsFields) {
    const struct {
        const char* variant;
        int planeByte, readCycle, writeCycle, eccBits;
    } cases[] = {
        {"6706", 26, 44, 45, 51}, {"6716", 15, 35, 36, 40},    {"6716V31", 15, 35, 36, 40},
        {"6716V32", 15, 35, 36, 40}, {"6726", 15, 35, 36, 40}, {"6605", 15, 35, 36, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        const Tessor::taval::Variant* v = Tessor::taval::findVariant(c.variant);
        ASSERT_NE(v, nullptr);
        std::vector<uint8_t> t(size_t(v->tableLength), 0xEE);
        t[size_t(0x0C + c.planeByte)] = 0x80 | 2 << 5 | 1 << 3 | 3;  // bit 7 is not the chips' field
        t[size_t(0x0C + c.readCycle)] = 0x11;
        t[size_t(0x0C + c.writeCycle)] = 0x13;
        if (c.eccBits >= 0) {
            t[size_t(0x0C + c.eccBits)] = 12;
        }
        const Tessor::taval::RamFlashInfo info = Tessor::taval::RamFlashInfo::read(*v, t);
        EXPECT_TRUE(info.present);
        EXPECT_EQ(info.planes(), 4);
        EXPECT_EQ(info.interleaves(), 2);
        EXPECT_EQ(info.gangedChips(), 3);
        EXPECT_EQ(info.readCycle, 0x11);
        EXPECT_EQ(info.writeCycle, 0x13);
        EXPECT_EQ(info.eccBits, c.eccBits < 0 ? -1 : 12);
    }
    EXPECT_FALSE(Tessor::taval::RamFlashInfo::read(*Tessor::taval::findVariant("6716"), {}).present);
}

// The host's spread of one result read (the tool's formula, written here
// independently of the firmware): sectors reported good are cleared.
struct HostGeometry {
    int64_t chips, blocks, pages, spp, planes, interleaves, ganged;
    int64_t b() const { return pages * spp; }
    int64_t total() const { return chips * blocks * b(); }
    int64_t w() const { return planes * interleaves * ganged; }
};

void hostSpread(const HostGeometry& g, int64_t s, int64_t jump, int64_t repeat, const std::vector<uint8_t>& bits,
                std::vector<bool>* failed) {
    const int64_t ik = g.interleaves * g.ganged;
    const int64_t r = s % (g.b() * g.w());
    const int64_t base = (s - r) / ik + r / g.w();
    for (int64_t t = 0; t < repeat; ++t) {
        for (int64_t k = 0; k < ik; ++k) {
            for (int64_t m = 0; m < g.planes; ++m) {
                const int64_t d = base + (t * jump * g.planes) / g.w() + k * (g.total() / ik) + m * g.b();
                const int64_t src = (t * g.w() + k * g.planes + m) * g.spp;
                for (int64_t i = 0; i < g.spp && d < g.total(); ++i) {
                    const bool bad = (bits[size_t((src + i) / 8)] >> ((src + i) % 8) & 1) != 0;
                    (*failed)[size_t(d + i)] = (*failed)[size_t(d + i)] && bad;
                }
            }
        }
    }
}

// Over random geometries and plane layouts, the pages the pattern write
// programs are exactly the sectors the result read reports good, spread by
// the host's formula, and exactly the units that formula names.
TEST(ScanFirmware, PatternCoverageEqualsResultCoverageForEveryPlaneLayout) {
    std::mt19937 rng(20261210);
    const int layouts[][3] = {{0, 0, 0}, {1, 0, 0}, {3, 0, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {0, 0, 3}};
    for (int round = 0; round < 24; ++round) {
        const int* l = layouts[round % 8];
        HostGeometry g{};
        g.ganged = l[2] + 1;
        g.chips = g.ganged * int64_t(1 + rng() % (g.ganged == 1 ? 4 : 1));
        g.chips = std::min<int64_t>(g.chips, 4);
        g.blocks = 8 * int64_t(2 + rng() % 6) + (round % 3 == 0 ? 2 : 0);  // some not a power of two
        g.pages = int64_t(4) << (rng() % 3);
        g.spp = int64_t(1) << (rng() % 4);
        g.planes = l[0] + 1;
        g.interleaves = l[1] + 1;
        SCOPED_TRACE(::testing::Message() << "chips " << g.chips << " K " << g.blocks << " P " << g.pages << " S "
                                          << g.spp << " planes " << g.planes << " intlv " << g.interleaves
                                          << " ganged " << g.ganged);
        Device dev(Keys{{"Device.Chips", std::to_string(g.chips)},
                        {"Device.BlocksPerChip", std::to_string(g.blocks)},
                        {"Device.PagesPerBlock", std::to_string(g.pages)},
                        {"Device.SectorsPerPage", std::to_string(g.spp)}});
        ASSERT_TRUE(dev->writeTableToRam(ramTable6716({l[0], l[1], l[2]}).data()));

        // The full scan's list: stride blocks, every page, W pages apart.
        const int64_t w = g.w();
        const int64_t step = 1 + rng() % 2;
        const int64_t totalBlocks = g.chips * g.blocks;
        const int64_t repeat = std::min<int64_t>({totalBlocks / step / w, 256, 8192 / (w * g.spp)});
        ASSERT_GT(repeat, 0);
        const int64_t stride = step * repeat * w;
        const int64_t jump = g.b() * step * w;
        const int64_t group = g.ganged * g.blocks * g.b();
        std::vector<int64_t> list;
        for (int64_t blk = 0; blk < totalBlocks; blk += stride) {
            for (int64_t p = 0; p < g.pages; ++p) {
                list.push_back(blk * g.b() + p * g.spp * w);
            }
        }
        for (int64_t s : list) {
            ASSERT_EQ(dev.vendor(scanCdb(int(s / group), uint32_t(s % group), 1, int(jump), int(repeat))), 0);
        }
        std::vector<bool> failed(size_t(g.total()), true);
        for (int64_t s : list) {
            ASSERT_EQ(dev.vendor(scanCdb(int(s / group), uint32_t(s % group), 2, int(jump), int(repeat))), 0);
            hostSpread(g, s, jump, repeat, dev.result, &failed);
        }
        // What the formula names, marked by a result stream of all-good bits.
        std::vector<bool> named(size_t(g.total()), true);
        const std::vector<uint8_t> allGood(1024, 0);
        for (int64_t s : list) {
            hostSpread(g, s, jump, repeat, allGood, &named);
        }
        int64_t covered = 0;
        for (int64_t sector = 0; sector < g.total(); ++sector) {
            const bool pattern = dev->pageState(sector / g.spp) == PageState::Pattern;
            ASSERT_EQ(pattern, !failed[size_t(sector)]) << "sector " << sector;
            ASSERT_EQ(pattern, !named[size_t(sector)]) << "sector " << sector;
            covered += pattern ? 1 : 0;
        }
        EXPECT_GT(covered, 0);
    }
}

// One plane (the pre-scan's way): unit t is the page at s + t x jump and its
// bits start at t x S; bits past the units stay failed, as do erased pages.
TEST(ScanFirmware, SinglePlaneUnitsFollowTheJumpAndErasedPagesFail) {
    Device dev(Keys{{"Device.Chips", "1"}});  // 64 blocks x 16 pages x 4 sectors
    const int spb = 64;
    ASSERT_EQ(dev.vendor(scanCdb(0, 8 * spb + 4, 1, spb, 4)), 0);  // page 1 of blocks 8..11
    ASSERT_EQ(dev.vendor(scanCdb(0, 8 * spb + 4, 2, spb, 8)), 0);   // and of blocks 12..15
    for (int bit = 0; bit < 8192; ++bit) {
        ASSERT_EQ(dev.failedBit(bit), bit >= 16) << bit;
    }
    EXPECT_EQ(dev->pageState(8 * 16 + 1), PageState::Pattern);
    EXPECT_EQ(dev->pageState(8 * 16 + 2), PageState::Erased);

    // Flash reads of a pattern page give the controller's pattern, and the
    // page's erase returns it to failed.
    uint8_t data[4 * 512];
    int length = 0;
    ASSERT_TRUE(dev->readFlash(0, 9 * spb + 4, 4, data, sizeof data, &length));
    EXPECT_EQ(data[0], 0x55);
    EXPECT_EQ(data[2047], 0xAA);
    ASSERT_TRUE(dev->eraseBlocks(0, 9 * spb, 1));
    ASSERT_EQ(dev.vendor(scanCdb(0, 8 * spb + 4, 2, spb, 4)), 0);
    EXPECT_FALSE(dev.failedBit(0));
    EXPECT_TRUE(dev.failedBit(4));
    // Units past the end of the flash are not programmed and report failed.
    ASSERT_EQ(dev.vendor(scanCdb(0, 62 * spb, 1, spb, 4)), 0);
    ASSERT_EQ(dev.vendor(scanCdb(0, 62 * spb, 2, spb, 4)), 0);
    EXPECT_FALSE(dev.failedBit(4));
    EXPECT_TRUE(dev.failedBit(8));
}

// Triple-level-cell parts: blocks from the real count on and pages from the
// real page count on do not exist. The scan reports them failed, flash reads
// and writes there fail, and erasing them is harmless.
TEST(ScanFirmware, AbsentTripleLevelCellRegionsReportFailed) {
    Device dev(Keys{{"Device.Chips", "2"},
                    {"Device.BlocksPerChip", "16"},
                    {"Device.RealBlocksPerChip", "12"},
                    {"Device.PagesPerBlock", "128"},
                    {"Device.RealPagesPerBlock", "94"},
                    {"Device.SectorsPerPage", "1"}});
    const int spb = 128;
    // Page 93 and 94 of blocks 10..13 of chip 0, then of chip 1.
    for (int chip = 0; chip < 2; ++chip) {
        for (int page = 93; page <= 94; ++page) {
            const uint32_t s = uint32_t(10 * spb + page);
            ASSERT_EQ(dev.vendor(scanCdb(chip, s, 1, spb, 4)), 0);
            ASSERT_EQ(dev.vendor(scanCdb(chip, s, 2, spb, 4)), 0);
            for (int t = 0; t < 4; ++t) {
                EXPECT_EQ(dev.failedBit(t), page == 94 || 10 + t >= 12) << chip << " " << page << " " << t;
            }
        }
    }
    uint8_t data[512] = {};
    int length = 0;
    EXPECT_FALSE(dev->readFlash(1, 12 * spb, 1, data, sizeof data, &length));
    EXPECT_FALSE(dev->writeFlash(0, 3 * spb + 94, 1, data));
    EXPECT_TRUE(dev->writeFlash(0, 3 * spb + 93, 1, data));
    EXPECT_TRUE(dev->eraseBlocks(0, 0, 16));
}

// Page states live beside the flash array and survive a replug; a device
// folder without them takes its data pages from the array.
TEST(ScanFirmware, PageStatesPersistAndAreRebuiltFromTheFlash) {
    taval_test::TempFolder dir;
    const std::string folder = taval_test::makeDevice(dir.path(), "d", Keys{{"Device.Chips", "1"}});
    std::string error;
    auto open = [&] { return Tessor::taval::VirtualDevice::open(folder, &error); };
    {
        auto dev = open();
        ASSERT_TRUE(dev) << error;
        std::vector<uint8_t> data(512, 0x3C);
        ASSERT_TRUE(dev->writeFlash(0, 4 * 64 + 8, 1, data.data()));  // page 66
        const std::vector<uint8_t> cdb = scanCdb(0, 5 * 64, 1, 4, 2);  // pages 80, 81
        uint8_t result[1024];
        ASSERT_EQ(dev->vendorCommand(cdb.data(), result, sizeof result), 0);
    }
    {
        auto dev = open();
        ASSERT_TRUE(dev) << error;
        EXPECT_EQ(dev->pageState(66), PageState::Data);
        EXPECT_EQ(dev->pageState(81), PageState::Pattern);
        EXPECT_EQ(dev->pagePrograms(81), 1);
        EXPECT_EQ(dev->pageState(82), PageState::Erased);
    }
    std::filesystem::remove(folder + "/pages.bin");
    auto dev = open();
    ASSERT_TRUE(dev) << error;
    EXPECT_EQ(dev->pageState(66), PageState::Data);
    EXPECT_EQ(dev->pageState(81), PageState::Erased);
}

}  // namespace
