// The engines that write the sample themselves and compare it back: the
// speed probe over the first two blocks and the small-page scan.
#include <gtest/gtest.h>

#include "ScanEngineFixture.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/scan/ScanObjectLittle.h"
#include "usb/scan/ScanObjectRaw.h"

using namespace Tessor;

namespace {

class RawScanTest : public ScanEngineFixture {
protected:
    Sptr<usb::ScanObjectSpeed> probe(int* result)
    {
        Sptr<usb::ScanObjectSpeed> engine(new usb::ScanObjectSpeed(device, "ScanObject4Speed", 8));
        *result = engine->updateCfgAndCode(usb::CMD_EXTERNAL_AS_SCAN_CODE);
        if (*result == 0) {
            *result = engine->scan();
        }
        return engine;
    }

    bool touchedNegativeSector()
    {
        for (const taval::OpRecord& op : opLog()) {
            if ((op.kind == taval::OpKind::Program || op.kind == taval::OpKind::Read ||
                 op.kind == taval::OpKind::Erase) &&
                op.args[1] < 0) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(RawScanTest, SpeedProbeFindsTheFirstGoodSector)
{
    struct Case {
        const char* name;
        Keys faults;
        int firstGood;
    };
    const Case cases[] = {
        {"clean", {}, 0},
        {"bad leading sectors", {{"Faults.BadSectors", "0-40"}}, 41},
        {"bad first block", {{"Faults.BadBlocks", "0"}}, 256},
        {"both blocks bad", {{"Faults.BadSectors", "0-511"}}, -1},
        {"both blocks factory bad", {{"Faults.BadBlocks", "0,1"}}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        use("G1", c.faults);
        int result = -1;
        Sptr<usb::ScanObjectSpeed> engine = probe(&result);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(engine->getFirstGoodSector(), c.firstGood);
        EXPECT_FALSE(touchedNegativeSector());
    }
}

TEST_F(RawScanTest, SpeedProbeFailsOnAReadFailureAndPassesACancelThrough)
{
    use("G1", {{"Faults.FailRead", "always"}});
    int result = 0;
    Sptr<usb::ScanObjectSpeed> engine = probe(&result);
    EXPECT_EQ(result, usb::ScanObjectSpeed::PROBE_FAILED);
    EXPECT_EQ(engine->getFirstGoodSector(), -1);

    use("G1", {{"Faults.CancelAfter", "6"}, {"Faults.BadSectors", "0-511"}});
    cancelWhenAsked();
    probe(&result);
    EXPECT_EQ(result, 0x8029);
    EXPECT_EQ(opLog().size(), 6u);
}

// Small pages: every sector of the flash is written and compared, so a bad
// sector anywhere in a group of 32, and in the last group, is found.
TEST_F(RawScanTest, SmallPageScanFindsBadSectorsAnywhere)
{
    const std::set<int64_t> sectors = {0, 9, 31, 4000, 8191, 8192, 20007, 32767};
    use("G3", {{"Faults.BadSectors", listOf(sectors)}, {"Faults.BadBlocks", "100"}});
    Sptr<usb::ScanObjectLittle> engine(new usb::ScanObjectLittle(device, "ScanObject4LittlePage"));
    ASSERT_EQ(engine->updateCfgAndCode(usb::CMD_EXTERNAL_AS_SCAN_CODE), 0);
    ASSERT_EQ(engine->scan(), 0);
    EXPECT_TRUE(setBits(engine->getSectorBitmap()->getBitmap(), geometry.total()) == sectorsOf({100}, sectors));
}

TEST_F(RawScanTest, SmallPageScanStopsAtACancel)
{
    use("G3", {{"Faults.CancelAfter", "500"}});
    cancelWhenAsked();
    Sptr<usb::ScanObjectLittle> engine(new usb::ScanObjectLittle(device, "ScanObject4LittlePage"));
    ASSERT_EQ(engine->updateCfgAndCode(usb::CMD_EXTERNAL_AS_SCAN_CODE), 0);
    EXPECT_EQ(engine->scan(), 0x8029);
    EXPECT_EQ(opLog().size(), 500u);
}

}  // namespace
