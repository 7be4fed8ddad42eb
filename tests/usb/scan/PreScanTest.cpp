// The pre-scan: its grading of error and difference counts, and the mode it
// picks on simulated flash whose weak sectors favour one mode.
#include <gtest/gtest.h>

#include "ScanEngineFixture.h"
#include "usb/scan/PreScanGrading.h"
#include "usb/scan/ScanObjectScan.h"
#include "usb/scan/ScanObjectScanPre.h"

using namespace Tessor;
using usb::PreScanCounts;
using usb::PreScanGrading;

namespace {

std::vector<PreScanCounts> counts(const std::vector<int>& errors, const std::vector<int>& differences)
{
    std::vector<PreScanCounts> out;
    for (size_t i = 0; i < errors.size(); ++i) {
        out.push_back({errors[i], differences[i]});
    }
    return out;
}

// Four sectors a page, 64 pages a block, 64 sample blocks: reference 8192,
// plausibility cap 16220, grade 0 up to 8.192 differences.
TEST(PreScanGrading, ChoosesTheModeOfFewestDifferences)
{
    struct Case {
        const char* name;
        std::vector<int> errors;
        std::vector<int> differences;
        int choice;
    };
    const Case cases[] = {
        {"the worked vector", {2048, 9216, 9216, 8192, 8192, 8704, 8192, 8192, 8192},
         {2048, 1024, 1024, 0, 0, 512, 0, 0, 0}, 8},
        {"clean flash", {0, 8192, 8192, 8192, 8192, 8192, 8192, 8192, 8192}, {0, 0, 0, 0, 0, 0, 0, 0, 0}, 0},
        // Equal errors, different differences: the mode that had none wins,
        // whichever index holds it.
        {"equal errors keep their own mode", {16000, 16000, 16000, 8192, 8192, 16000, 16000, 16000, 16000},
         {2000, 2000, 2000, 100, 0, 2000, 2000, 2000, 2000}, 4},
        {"same grade: fewer errors win", {16000, 16000, 16000, 9000, 8192, 16000, 16000, 16000, 16000},
         {3000, 2000, 2000, 5, 6, 2000, 2000, 2000, 2000}, 4},
        {"same grade and errors: the later position wins", {16000, 16000, 16000, 8192, 8192, 16000, 16000, 16000,
                                                            16000},
         {3000, 2000, 2000, 7, 3, 2000, 2000, 2000, 2000}, 3},
        {"nothing plausible: all blocks, all pages", {16384, 16300, 16300, 16300, 16300, 16300, 16300, 16300, 16300},
         {0, 10, 10, 10, 10, 10, 10, 10, 10}, 0},
        {"every mode failed everywhere", std::vector<int>(9, 16384), std::vector<int>(9, 0),
         PreScanGrading::NO_CHOICE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PreScanGrading::chooseMode(counts(c.errors, c.differences), 8192, 4), c.choice);
    }
}

TEST(PreScanGrading, TripleLevelModesWeighTheirDifferences)
{
    const std::vector<int> keys = {18, 19, 20};
    const int sampled = 64 * 4096;
    // Clean: the penalty gives the partial modes a ratio above 0.
    EXPECT_EQ(PreScanGrading::chooseTlcMode(counts({0, sampled / 3, sampled * 2 / 3}, {0, 0, 0}), keys, sampled, 4096),
              0);
    // C pages weak in one reading: only the B pages agree.
    EXPECT_EQ(PreScanGrading::chooseTlcMode(counts({sampled / 2, sampled / 2, sampled * 2 / 3},
                                                   {sampled / 3, sampled / 3, 0}),
                                            keys, sampled, 4096),
              2);
    EXPECT_EQ(PreScanGrading::chooseTlcMode(counts({sampled, sampled, sampled}, {0, 0, 0}), keys, sampled, 4096),
              PreScanGrading::TLC_NO_CHOICE);
}

class PreScanTest : public ScanEngineFixture {
protected:
    // Runs the pre-scan as its task does; determineMode's result.
    int preScan(const std::string& preset, const Keys& faults, Sptr<usb::ScanObjectScanPre>* kept = nullptr,
                int autoMode = 0)
    {
        use(preset, faults, 2);
        device->getScanConfig()->setAutoMode(autoMode);
        Sptr<usb::ScanObjectScanPre> engine(new usb::ScanObjectScanPre(device, "ScanObjectPreScan"));
        if (kept != nullptr) {
            *kept = engine;
        }
        EXPECT_EQ(engine->updateCfgAndCode(usb::CMD_SCAN_CODE), 0);
        EXPECT_EQ(engine->scan(), 0);
        return device->getFlashInfo()->getChipInfo()->TLC != 0 ? engine->determineTLCMode() : engine->determineMode();
    }

    // One sector of every page that the pattern leaves out, weak in every block.
    std::string weakOutside(_SCAN_PAGE_MODE page)
    {
        use("G1");
        Sptr<usb::ScanBitmap> pattern = device->getScanBitmapFactory()->getScanBitmap(page);
        std::set<int64_t> pages;
        for (int p = 0; p < geometry.pages; ++p) {
            if (!pattern->isScan(p)) {
                pages.insert(p);
            }
        }
        return listOf(pages);
    }

    std::string oddBlockSectors()
    {
        std::set<int64_t> sectors;
        for (int64_t b = 1; b < 256; b += 2) {
            for (int64_t p = 0; p < 64; ++p) {
                sectors.insert((b * 64 + p) * 4);
            }
        }
        return listOf(sectors);
    }
};

TEST_F(PreScanTest, PicksTheModeTheWeakSectorsFavour)
{
    struct Case {
        const char* name;
        std::string preset;
        Keys faults;
        _SCAN_PAGE_MODE page;
        _SCAN_BLOCK_MODE block;
        int proScanMode;
    };
    const Case cases[] = {
        {"clean", "G1", {}, SCAN_PAGE_ALL, SCAN_BLOCK_ALL, 1},
        {"L pages weak", "G1", {{"Faults.WeakBlockPages", weakOutside(SCAN_PAGE_4K_IGNORE_H)}}, SCAN_PAGE_4K_IGNORE_H,
         SCAN_BLOCK_ALL, 9},
        {"odd blocks weak", "G1", {{"Faults.WeakSectors", oddBlockSectors()}}, SCAN_PAGE_ALL, SCAN_BLOCK_EVEN, 0x10},
        {"upper half weak", "G1", {{"Faults.UpperHalfWeak", "all"}}, SCAN_PAGE_FORMER_HALF, SCAN_BLOCK_ALL, 0xC1},
        {"triple-level, C pages weak", "G4", {{"Faults.CPagesWeak", "all"}, {"Faults.WeakSectorsPerPage", "16"}},
         SCAN_PAGE_TLC_B, SCAN_BLOCK_ALL, 3},
        {"triple-level, clean", "G4", {}, SCAN_PAGE_TLC_ALL, SCAN_BLOCK_ALL, 1},
        // Small-page firmware measures three modes a pass, each over all the
        // sample blocks; on clean flash the odd-block reading ties with all
        // blocks and, later in the order, wins.
        {"small-page, clean", "G3", {}, SCAN_PAGE_ALL, SCAN_BLOCK_ODD, 0x11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(preScan(c.preset, c.faults), 0);
        Sptr<usb::ScanMode> mode = device->getScanMode();
        EXPECT_STREQ(mode->getName(), "OptimizedScanBlockMode");
        EXPECT_EQ(mode->getScanBitmap()->getMode(), c.page);
        EXPECT_EQ(mode->getModeType(), c.block);
        EXPECT_EQ(device->getProScanMode(), c.proScanMode);
    }
}

// Automatic mode 2 samples half the blocks: the grading's reference halves
// with them.
TEST_F(PreScanTest, DeadFlashHasNoMode)
{
    for (int autoMode : {0, 2}) {
        SCOPED_TRACE(autoMode);
        EXPECT_EQ(preScan("G1", {{"Faults.BadBlockFraction", "1"}}, nullptr, autoMode), -1);
        EXPECT_FALSE(device->hasScanMode());
    }
}

TEST_F(PreScanTest, SamplesEightRunsOfEightBlocksOrFourWithAutoModeTwo)
{
    Sptr<usb::ScanObjectScanPre> engine;
    preScan("G1", {}, &engine);
    EXPECT_EQ(engine->getScanBlocksCount(), 64);
    EXPECT_EQ(engine->getModeCount(), 9);
    const std::vector<int> runStarts = {0, 40, 64, 104, 128, 168, 192, 232};
    for (size_t run = 0; run < runStarts.size(); ++run) {
        for (int j = 0; j < 8; ++j) {
            EXPECT_EQ(engine->getBlockList()[run * 8 + j], runStarts[run] + j);
        }
    }
    use("G1");
    device->getScanConfig()->setAutoMode(2);
    Sptr<usb::ScanObjectScanPre> half(new usb::ScanObjectScanPre(device, "ScanObjectPreScan"));
    EXPECT_EQ(half->getScanBlocksCount(), 32);
    // Sixteen sectors a page measure seven modes.
    use("G4");
    device->getFlashInfo()->getChipInfo()->TLC = 0;
    Sptr<usb::ScanBitmapFactory> patterns;
    ASSERT_EQ(usb::ScanBitmapFactory::create(device, patterns), 0);
    device->setScanBitmapFactory(patterns);
    Sptr<usb::ScanObjectScanPre> big(new usb::ScanObjectScanPre(device, "ScanObjectPreScan"));
    EXPECT_EQ(big->getModeCount(), 7);
}

// The engines agree on the sign of the code a scan hands on.
TEST_F(PreScanTest, FailedEraseGivesTheEraseCodeAsTheFullScanDoes)
{
    use("G1", {{"Faults.FailErase", "always"}}, 2);
    givePageMode(SCAN_PAGE_ALL);
    Sptr<usb::ScanObject> engines[] = {
        Sptr<usb::ScanObject>(new usb::ScanObjectScanPre(device, "ScanObjectPreScan")),
        Sptr<usb::ScanObject>(new usb::ScanObjectScan(device, "ScanObject4ScanCode")),
    };
    for (const Sptr<usb::ScanObject>& engine : engines) {
        SCOPED_TRACE(engine->getName());
        EXPECT_EQ(engine->erase(), 0x802A);
    }
}

TEST_F(PreScanTest, CancelEndsThePreScanWithItsCode)
{
    use("G1", {{"Faults.CancelAfter", "100"}}, 2);
    cancelWhenAsked();
    Sptr<usb::ScanObjectScanPre> engine(new usb::ScanObjectScanPre(device, "ScanObjectPreScan"));
    ASSERT_EQ(engine->updateCfgAndCode(usb::CMD_SCAN_CODE), 0);
    EXPECT_EQ(engine->scan(), 0x8029);
    EXPECT_EQ(opLog().size(), 100u);
}

}  // namespace
