// The full scan against the simulated scan firmware: what it finds must be
// exactly what the simulated flash holds bad, and the sectors its page
// pattern leaves out.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "ScanEngineFixture.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/scan/ScanObjectScan.h"

using namespace Tessor;
using usb::ScanObjectScan;

namespace {

class FullScanTest : public ScanEngineFixture {
protected:
    // Runs a full scan as the scan task does; the bitmap it found, or empty.
    Sptr<usb::SectorBitmap> scan(int* result)
    {
        Sptr<ScanObjectScan> engine(new ScanObjectScan(device, "ScanObject4ScanCode"));
        *result = engine->updateCfgAndCode(usb::CMD_SCAN_CODE);
        if (*result == 0) {
            *result = engine->scan();
        }
        return engine->getSectorBitmap();
    }

    std::set<int64_t> found(int priority, _SCAN_PAGE_MODE page, const Keys& faults, const std::string& preset)
    {
        use(preset, faults, priority);
        givePageMode(page);
        int result = -1;
        Sptr<usb::SectorBitmap> bitmap = scan(&result);
        EXPECT_EQ(result, 0);
        return setBits(bitmap->getBitmap(), geometry.total());
    }

    // Sectors of the pages the pattern leaves out.
    std::set<int64_t> outsidePattern(_SCAN_PAGE_MODE page)
    {
        Sptr<usb::ScanBitmap> pattern = device->getScanBitmapFactory()->getScanBitmap(page);
        std::set<int64_t> out;
        for (int64_t s = 0; s < geometry.total(); ++s) {
            if (!pattern->isScan(int(s / geometry.sectors % geometry.pages))) {
                out.insert(s);
            }
        }
        return out;
    }
};

const FullScanTest::Keys kG1Faults = {{"Faults.BadBlocks", "9,200"}, {"Faults.BadSectors", "1000,5003,65535"}};

TEST_F(FullScanTest, FindsTheInjectedBadSectorsAndThePagesOutsideThePattern)
{
    struct Case {
        int priority;
        _SCAN_PAGE_MODE page;
    };
    for (const Case c : {Case{0, SCAN_PAGE_ALL}, Case{2, SCAN_PAGE_ALL}, Case{2, SCAN_PAGE_4K_IGNORE_H},
                         Case{3, SCAN_PAGE_FRONT2}}) {
        SCOPED_TRACE(testing::Message() << "priority " << c.priority << " pattern " << c.page);
        const std::set<int64_t> bad = found(c.priority, c.page, kG1Faults, "G1");
        std::set<int64_t> expected = sectorsOf({9, 200}, {1000, 5003, 65535});
        const std::set<int64_t> outside = outsidePattern(c.page);
        expected.insert(outside.begin(), outside.end());
        EXPECT_EQ(bad.size(), expected.size());
        EXPECT_TRUE(bad == expected);
    }
}

// Two chips of two planes: the multi-plane layouts (two and four units a
// step) find the same sectors as the single-plane scan.
TEST_F(FullScanTest, MultiPlaneLayoutsFindWhatTheSinglePlaneScanFinds)
{
    const Keys faults = {{"Faults.BadBlocks", "3,512,513,1023"}, {"Faults.BadSectors", "70000,600001,1048575"}};
    const std::set<int64_t> single = found(2, SCAN_PAGE_ALL, faults, "G2");
    EXPECT_TRUE(single == sectorsOf({3, 512, 513, 1023}, {70000, 600001, 1048575}));
    for (const char* planes : {"0", "1"}) {
        SCOPED_TRACE(planes);
        Keys keys = faults;
        keys["Device.MaxPlaneNum"] = planes;
        EXPECT_TRUE(found(0, SCAN_PAGE_ALL, keys, "G2") == single);
    }
    EXPECT_EQ(hub->device(0)->addressDisagreements(), 0u);
}

// 1000 blocks a chip: the last group of commands reaches past the flash,
// which must not cost the blocks before the end.
TEST_F(FullScanTest, BlockCountNoPowerOfTwoScansToTheLastBlock)
{
    const Keys faults = {{"Faults.BadBlocks", "0,999,1000,2999"}, {"Faults.BadSectors", "700000"}};
    for (int priority : {0, 2}) {
        SCOPED_TRACE(priority);
        const std::set<int64_t> bad = found(priority, SCAN_PAGE_ALL, faults, "G5");
        const std::set<int64_t> expected = sectorsOf({0, 999, 1000, 2999}, {700000});
        EXPECT_TRUE(bad == expected);
        std::vector<int64_t> extra, missing;
        std::set_difference(bad.begin(), bad.end(), expected.begin(), expected.end(), std::back_inserter(extra));
        std::set_difference(expected.begin(), expected.end(), bad.begin(), bad.end(), std::back_inserter(missing));
        EXPECT_EQ(extra.size(), 0u) << (extra.empty() ? 0 : extra.front()) << ".." << (extra.empty() ? 0 : extra.back());
        EXPECT_EQ(missing.size(), 0u) << (missing.empty() ? 0 : missing.front());
    }
}

// Units that do not split the flash evenly (three planes or interleaves,
// block counts no multiple of 32, up to four chips): every result lands
// inside the bitmap and every bad block is found.
TEST_F(FullScanTest, EveryGeometryRecordsItsResultsInsideTheBitmap)
{
    struct Case {
        const char* chips;
        const char* blocks;
        const char* pages;
        const char* sectors;
        const char* planes;       // minus 1
        const char* interleaves;  // minus 1
    };
    const Case cases[] = {
        {"4", "100", "16", "8", "1", "2"}, {"4", "37", "16", "8", "2", "1"}, {"3", "45", "32", "4", "1", "2"},
        {"2", "33", "16", "16", "1", "1"}, {"1", "33", "16", "1", "0", "0"}, {"4", "65", "16", "2", "0", "0"},
        {"1", "31", "128", "8", "2", "0"}, {"4", "1024", "128", "8", "2", "2"},
    };
    for (const Case& c : cases) {
        for (int priority : {0, 2}) {
            SCOPED_TRACE(testing::Message() << c.chips << " chips x " << c.blocks << " x " << c.pages << " x "
                                            << c.sectors << ", planes-1 " << c.planes << ", interleaves-1 "
                                            << c.interleaves << ", priority " << priority);
            const int last = std::stoi(c.chips) * std::stoi(c.blocks) - 1;
            const Keys keys = {{"Device.Chips", c.chips},         {"Device.BlocksPerChip", c.blocks},
                               {"Device.PagesPerBlock", c.pages}, {"Device.SectorsPerPage", c.sectors},
                               {"Device.MaxPlaneNum", c.planes},  {"Device.MaxIntlvNum", c.interleaves},
                               {"Faults.BadBlocks", "1," + std::to_string(last)}};
            const std::set<int64_t> bad = found(priority, SCAN_PAGE_ALL, keys, "G1");
            const std::set<int64_t> expected = sectorsOf({1, last});
            EXPECT_TRUE(std::includes(bad.begin(), bad.end(), expected.begin(), expected.end()));
        }
    }
}

// Two planes on two chips step four units at a time: with eight sectors a
// page 256 steps fill the 8192 result bits of one transfer, with sixteen
// only 128 fit, and a longer repeat would lose the tail of every command.
TEST_F(FullScanTest, EveryCommandFitsItsResultInOneTransfer)
{
    for (const int sectorsPerPage : {8, 16}) {
        SCOPED_TRACE(sectorsPerPage);
        const std::set<int64_t> bad =
            found(0, SCAN_PAGE_ALL,
                  {{"Device.MaxPlaneNum", "1"}, {"Device.SectorsPerPage", std::to_string(sectorsPerPage)},
                   {"Faults.BadBlocks", "3,1023"}},
                  "G2");
        EXPECT_TRUE(bad == sectorsOf({3, 1023}, {})) << bad.size() << " bad sectors";
        int commands = 0;
        for (const taval::OpRecord& op : opLog()) {
            if (op.kind == taval::OpKind::Vendor) {
                EXPECT_LE((op.args[2] & 0xFFFF) * 4 * sectorsPerPage, 8192);
                ++commands;
            }
        }
        EXPECT_GT(commands, 0);
    }
}

TEST_F(FullScanTest, FailuresAndCancelEndThePassWithTheirCode)
{
    struct Case {
        const char* name;
        Keys faults;
        int code;
    };
    const Case cases[] = {
        {"permanent vendor failure", {{"Faults.VendorFailAfter", "20"}}, 0x8001},
        {"cancel", {{"Faults.CancelAfter", "40"}}, 0x8029},
        {"table refused", {{"Faults.FailTableToRam", "always"}}, 0x8004},
        {"firmware refused", {{"Faults.FailCodeDownload", "always"}}, 0x8005},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        use("G1", c.faults, 2);
        cancelWhenAsked();
        givePageMode(SCAN_PAGE_ALL);
        int result = 0;
        scan(&result);
        EXPECT_EQ(result, c.code);
        if (c.code == 0x8029) {
            // The command that saw the stop was the last one.
            EXPECT_EQ(opLog().size(), 40u);
        }
        device->resetCancel();
    }
}

TEST_F(FullScanTest, TransientVendorFailureIsRetried)
{
    const std::set<int64_t> bad =
        found(2, SCAN_PAGE_ALL, {{"Faults.VendorFailAfter", "30"}, {"Faults.VendorFailAttempts", "2"},
                                 {"Faults.BadBlocks", "9"}},
              "G1");
    EXPECT_TRUE(bad == sectorsOf({9}));
    int failed = 0;
    for (const taval::OpRecord& op : opLog()) {
        failed += op.kind == taval::OpKind::Vendor && !op.ok;
    }
    EXPECT_EQ(failed, 2);
}

}  // namespace
