// The engines that write the sample themselves and compare it back: the
// speed probe over the first two blocks and the small-page scan.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ScanEngineFixture.h"
#include "schema/base/DeviceCode.h"
#include "schema/device/BaseAddress.h"
#include "usb/cmd/BitRange.h"
#include "usb/scan/ScanActionRaw.h"
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
    EXPECT_EQ(result, schema::DeviceCode::INDEX_TABLE_FAILED);
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

// The tolerant compare, on a read buffer laid out as the test wants it:
// eight sample sectors from sector 64 on, then their eight zones.
class EccReadBack : public usb::ScanActionRaw {
public:
    EccReadBack(usb::ScanObject* engine, std::vector<unsigned char>* read)
        : ScanActionRaw(engine, "EccCompare", usb::SCAN_ACTION_SPEED)
    {
        m_readBuffer = read->data();
    }
    bool failed(int sector) const { return usb::BitRange::test(m_work.data(), sector); }
};

TEST_F(RawScanTest, TolerantCompareCountsDataAndZoneBytesUpToTheEccBytes)
{
    use("G1");
    constexpr int tolerated = 3;
    device->getScanConfig()->setEccBytes(tolerated);
    usb::SampleFactory* samples = usb::SampleFactory::instance();
    const auto* data = reinterpret_cast<const unsigned char*>(samples->getSampleBuffer(0, false));
    const auto* zones = reinterpret_cast<const unsigned char*>(samples->getSampleBuffer(0, true));
    constexpr int first = 64;
    constexpr int sectors = 8;
    std::vector<unsigned char> read(data + first * 512, data + (first + sectors) * 512);
    read.insert(read.end(), zones + first * 16, zones + (first + sectors) * 16);
    // Sector: bytes changed in its data, in its zone; failed.
    const struct {
        int data;
        int zone;
        bool failed;
    } cases[] = {{0, 0, false}, {3, 0, false}, {4, 0, true}, {0, 3, false},
                 {0, 4, true},  {2, 2, true},  {511, 0, true}, {1, 1, false}};
    for (int s = 0; s < sectors; ++s) {
        for (int k = 0; k < cases[s].data; ++k) {
            read[size_t(s * 512 + k)] ^= 0x10;
        }
        for (int k = 0; k < cases[s].zone; ++k) {
            read[size_t(sectors * 512 + s * 16 + 15 - k)] ^= 0x01;
        }
    }
    Sptr<usb::ScanObjectSpeed> engine(new usb::ScanObjectSpeed(device, "ScanObject4Speed", 8));
    EccReadBack action(engine.get(), &read);
    ASSERT_EQ(action.getCountOfSectors(), sectors);
    EXPECT_EQ(action.compareScanAddressEcc(
                  Sptr<schema::BaseAddress>(new schema::BaseAddress(device, first / 256, first % 256 / 4, 0)), 0),
              0);
    for (int s = 0; s < sectors; ++s) {
        EXPECT_EQ(action.failed(s), cases[s].failed) << "sector " << s;
    }
}

// A zone's three leading bytes, then ten 10-bit codes packed low bit first.
TEST(RawScanZone, CodesAreTenBitFieldsAndTheZoneCompareCountsItems)
{
    unsigned char zone[16] = {0x5A, 0xA9, 0x40};
    // Code i holds i * 100 + 7.
    for (int i = 0; i < 10; ++i) {
        const unsigned value = unsigned(i * 100 + 7);
        for (int bit = 0; bit < 10; ++bit) {
            if ((value >> bit & 1u) != 0) {
                zone[3 + (10 * i + bit) / 8] |= uint8_t(1u << ((10 * i + bit) % 8));
            }
        }
    }
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(usb::ScanActionRaw::getEccCode(zone, i), i * 100 + 7) << i;
    }
    unsigned char other[16];
    std::memcpy(other, zone, sizeof zone);
    EXPECT_EQ(usb::ScanActionRaw::compareEccZone(zone, other), 0);
    other[1] ^= 0xFF;   // a leading byte
    other[3] ^= 0x01;   // code 0
    other[15] ^= 0x08;  // code 9
    EXPECT_EQ(usb::ScanActionRaw::compareEccZone(zone, other), 3);
    other[14] ^= 0x40;  // code 9 again: still one item
    EXPECT_EQ(usb::ScanActionRaw::compareEccZone(zone, other), 3);
}

}  // namespace
