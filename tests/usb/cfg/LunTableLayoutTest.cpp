#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "HexBytes.h"
#include "RecordLayoutProbe.h"
#include "usb/cfg/LunTableLayout.h"

using namespace Tessor::usb;

namespace {

constexpr uint8_t kFill = 0xEE;

// Three LUNs and an empty slot, every field distinct so a misplaced one shows.
struct ThreeLuns {
    LunFields lun[4];
    UdiskFields item;

    ThreeLuns()
    {
        LunFields& a = lun[0];
        a.Refresh = 1;
        a.Eject = 1;
        a.firstRefresh = 1;
        a.DiskType = 0x00;
        a.Capacity = 0x00010203;
        a.DiskBlockSize = 1;
        a.RdProtectStartingSec = 0x0A0B;
        a.ReadProtect = 1;
        a.DiskInfoReserve = 0x5;
        a.DiskForLun = 0;
        a.extFieldA = 5;
        a.extFlagB4 = 1;
        a.extFieldB = 6;
        LunFields& b = lun[1];
        b.CdromRefresh = 1;
        b.bit3_rsv = 1;
        b.WrProtectPin = 1;
        b.refreshEn = 1;
        b.DiskType = 0x85;
        b.StartSector = 0x00010203;
        b.Capacity = 0x11121314;
        b.DiskBlockSize = 2;
        b.RdProtectStartingSec = 0x1C1D;
        b.WriteProtect = 1;
        b.DummyDisk = 1;
        b.DiskInfoReserve = 0xA;
        b.DiskForLun = 1;
        LunFields& c = lun[2];
        c.Refresh = 1;
        c.DiskType = 0x80;
        c.StartSector = 0x21222324;
        c.Capacity = 0x31323334;
        c.DiskBlockSize = 3;
        c.RdProtectStartingSec = 0x3E3F;
        c.ReadProtect = 1;
        c.WriteProtect = 1;
        c.Hide = 1;
        c.DiskInfoReserve = 0x3;
        c.DiskForLun = 2;
        item.udiskReserved = 0xA1B2C3D4;
        item.CapDummy = 0x41424344;
        item.totalCapacity = 0x51525354;
    }

    std::vector<const LunFields*> list() const { return {&lun[0], &lun[1], &lun[2], &lun[3]}; }
};

std::vector<uint8_t> written(CfgVariant variant, ThreeLuns& luns)
{
    std::vector<uint8_t> buffer(80, kFill);
    EXPECT_EQ(LunTableLayout::length(variant),
              LunTableLayout::write(variant, luns.list(), luns.item, buffer.data()));
    return buffer;
}

struct Golden {
    CfgVariant variant;
    std::string bytes;  // the record, then the first byte behind it
};

class LunTableGolden : public ::testing::TestWithParam<Golden> {};

TEST_P(LunTableGolden, ThreeLunsAndAnEmptySlot)
{
    ThreeLuns luns;
    const std::vector<uint8_t> expected = hexBytes(GetParam().bytes);
    const std::vector<uint8_t> buffer = written(GetParam().variant, luns);
    EXPECT_EQ(expected, firstBytes(buffer, expected.size()));
}

const char* const k6716Body =
    "00 01 02 03  B5 DA 91 90  00 85 80 80"
    " 00 01 02 03  21 22 23 24  00 00 00 00"
    " 00 01 02 03  11 12 13 14  31 32 33 34  00 00 00 00"
    " 41 42 43 44  01 02 03 00  0A 0B 1C 1D 3E 3F 00 00  51 A6 3B 00";

INSTANTIATE_TEST_SUITE_P(
    Variants, LunTableGolden,
    ::testing::Values(
        Golden{CfgVariant::V6706,
               "01  00 01 02 FF  A5 DA 81 80  00 85 80 80"
               " 00 01 02 03  21 22 23 24  00 00 00 00"
               " 00 01 02 03  11 12 13 14  31 32 33 34  00 00 00 00"
               " 01 02 03 00  0A 0B 1C 1D 3E 3F 00 00  51 A6 3B 00  D4 C3 B2 A1  EE"},
        Golden{CfgVariant::V6716, std::string("01 ") + k6716Body + " 00 00 00 00  EE"},
        Golden{CfgVariant::V6716V31,
               std::string("01 ") + k6716Body + " D4 C3 B2 A1  EE EE EE EE  EE"},
        Golden{CfgVariant::V6716V32,
               std::string("01 ") + k6716Body + " D4 C3 B2 A1  EE EE EE EE  EE"},
        // The pin bit is the LUN's own; the dummy LUN is not counted as visible.
        Golden{CfgVariant::V6726,
               "00  00 01 02 03  A5 DA 81 80  00 85 80 80"
               " 00 01 02 03  21 22 23 24  00 00 00 00"
               " 00 01 02 03  11 12 13 14  31 32 33 34  00 00 00 00"
               " 41 42 43 44  01 02 03 00  0A 0B 1C 1D 3E 3F 00 00  51 A6 3B 00"
               " D4 C3 B2 A1  EE EE EE EE  EE"},
        Golden{CfgVariant::V6605,
               "01  00 01 02 03  A5 02 01 00  00 85 80 80"
               " 00 01 02 03  21 22 23 24  00 00 00 00"
               " 00 01 02 03  11 12 13 14  31 32 33 34  00 00 00 00"
               " 41 42 43 44  01 02 03 00  0A 0B 1C 1D 3E 3F 00 00  D1 06 0B 00"
               " 00 00 00 00  EE"}));

TEST(LunTableLayout, DefaultSlots)
{
    ThreeLuns luns;
    for (LunFields& lun : luns.lun) {
        lun = LunFields();
    }
    luns.item = UdiskFields();
    std::vector<uint8_t> b6706 = written(CfgVariant::V6706, luns);
    EXPECT_EQ(hexBytes("00 FF FF FF FF"), firstBytes(b6706, 5));
    EXPECT_EQ(hexBytes("80 80 80 80"), std::vector<uint8_t>(b6706.begin() + 9, b6706.begin() + 13));
    std::vector<uint8_t> b6716 = written(CfgVariant::V6716, luns);
    EXPECT_EQ(hexBytes("00 00 01 02 03"), firstBytes(b6716, 5));
}

TEST(LunTableLayout, StartSectorIsStoredHighByteFirst)
{
    ThreeLuns luns;
    luns.lun[1].StartSector = 74565;
    std::vector<uint8_t> buffer = written(CfgVariant::V6716, luns);
    EXPECT_EQ(hexBytes("00 01 23 45"), std::vector<uint8_t>(buffer.begin() + 0x0D, buffer.begin() + 0x11));
}

TEST(LunTableLayout, HiddenSlotZeroMovesTheSlotNumbersOn6605)
{
    ThreeLuns luns;
    luns.lun[0].Hide = 1;
    luns.lun[1].DummyDisk = 0;
    luns.lun[2].Hide = 0;
    // Two visible LUNs: three numbers move down.
    EXPECT_EQ(hexBytes("01  01 02 00 03"), firstBytes(written(CfgVariant::V6605, luns), 5));
}

TEST(LunTableLayout, SlotNumberMoveStopsAtTheFourthSlot)
{
    ThreeLuns luns;
    luns.lun[0].Hide = 1;
    luns.lun[2].Hide = 0;
    luns.lun[3].Capacity = 7;
    // Three visible LUNs and a dummy would move five bytes, into the flag bytes.
    std::vector<uint8_t> buffer = written(CfgVariant::V6605, luns);
    EXPECT_EQ(hexBytes("02  01 02 03 00  A5 02 01 00"), firstBytes(buffer, 9));
}

TEST(LunTableLayout, NeverWritesAFifthSlot)
{
    ThreeLuns luns;
    LunFields fifth;
    fifth.Capacity = 0x99999999;
    fifth.Refresh = 1;
    std::vector<const LunFields*> list = luns.list();
    list.push_back(&fifth);
    for (CfgVariant variant : kAllVariants) {
        std::vector<uint8_t> withFour = written(variant, luns);
        std::vector<uint8_t> buffer(80, kFill);
        LunTableLayout::write(variant, list, luns.item, buffer.data());
        EXPECT_EQ(withFour, buffer) << static_cast<int>(variant);
    }
}

TEST(LunTableLayout, HighFormatAdjustmentAppliesOnce)
{
    ThreeLuns luns;
    luns.item.highFormatPending = 1;
    std::vector<uint8_t> first = written(CfgVariant::V6716, luns);
    EXPECT_EQ(0, luns.item.highFormatPending);
    EXPECT_EQ(0x00, first[0]);
    EXPECT_EQ(0x95, first[0x05]);  // firstRefresh cleared in slot 0
    EXPECT_EQ(0x80, first[0x09]);
    EXPECT_EQ(hexBytes("51 52 53 54"), std::vector<uint8_t>(first.begin() + 0x19, first.begin() + 0x1D));
    EXPECT_EQ(0x00, first[0x2D]);
    EXPECT_EQ(hexBytes("00 00 00 00"), std::vector<uint8_t>(first.begin() + 0x39, first.begin() + 0x3D));

    std::vector<uint8_t> second = written(CfgVariant::V6716, luns);
    ThreeLuns plain;
    EXPECT_EQ(written(CfgVariant::V6716, plain), second);
}

// The bytes the high-format adjustment changes in the three-LUN record, per
// variant: byte 0, slot 0's flags A, type and block size, the capacity that
// spans the placed sectors, and the flags B.
struct HighFormatGolden {
    CfgVariant variant;
    uint8_t flagsA0;
};

class LunTableHighFormat : public ::testing::TestWithParam<HighFormatGolden> {};

TEST_P(LunTableHighFormat, ChangesOnlyItsBytesAndOnlyOnce)
{
    const CfgVariant variant = GetParam().variant;
    ThreeLuns plain;
    std::vector<uint8_t> expected = written(variant, plain);
    expected[0x00] = 0x00;
    expected[0x05] = GetParam().flagsA0;
    expected[0x09] = 0x80;
    expected[0x2D] = 0x00;
    const std::vector<uint8_t> capacity = hexBytes("51 52 53 54");
    std::copy(capacity.begin(), capacity.end(), expected.begin() + 0x19);
    std::fill(expected.begin() + 0x39, expected.begin() + 0x3D, 0);

    ThreeLuns luns;
    luns.item.highFormatPending = 1;
    EXPECT_EQ(hexText(expected), hexText(written(variant, luns)));
    EXPECT_EQ(hexText(written(variant, plain)), hexText(written(variant, luns)));
}

// firstRefresh (bit 5) is cleared where flags A hold it; on 6605 bit 5 belongs
// to the extension field and stays.
INSTANTIATE_TEST_SUITE_P(Variants, LunTableHighFormat,
                         ::testing::Values(HighFormatGolden{CfgVariant::V6716, 0x95},
                                           HighFormatGolden{CfgVariant::V6716V31, 0x95},
                                           HighFormatGolden{CfgVariant::V6716V32, 0x95},
                                           HighFormatGolden{CfgVariant::V6726, 0x85},
                                           HighFormatGolden{CfgVariant::V6605, 0xA5}));

TEST(LunTableLayout, HighFormatRestoresTheSlotNumbersOn6605AndNeverTouches6706)
{
    ThreeLuns luns;
    luns.lun[0].Hide = 1;
    luns.item.highFormatPending = 1;
    EXPECT_EQ(hexBytes("00  00 01 02 03"), firstBytes(written(CfgVariant::V6605, luns), 5));

    ThreeLuns again;
    again.item.highFormatPending = 1;
    ThreeLuns plain;
    EXPECT_EQ(written(CfgVariant::V6706, plain), written(CfgVariant::V6706, again));
}

class LunTableRoundTrip : public ::testing::TestWithParam<CfgVariant> {};

TEST_P(LunTableRoundTrip, ReaderGivesBackWhatTheWriterHeld)
{
    const CfgVariant variant = GetParam();
    ThreeLuns source;
    source.lun[3].Capacity = 0;
    std::vector<uint8_t> buffer = written(variant, source);

    ThreeLuns target;
    for (LunFields& lun : target.lun) {
        lun = LunFields();
    }
    target.item = UdiskFields();
    std::vector<LunFields*> list = {&target.lun[0], &target.lun[1], &target.lun[2], &target.lun[3]};
    EXPECT_EQ(LunTableLayout::length(variant), LunTableLayout::read(variant, list, target.item, buffer.data()));

    for (int i = 0; i < 3; ++i) {
        LunFields expected = source.lun[i];
        const LunFields& got = target.lun[i];
        if (variant == CfgVariant::V6605) {
            // 6605 keeps no bit3_rsv, firstRefresh, refreshEn or reserve bits,
            // and reads its own extension bits instead.
            expected.bit3_rsv = 0;
            expected.WrProtectPin = 0;
            expected.firstRefresh = 0;
            expected.refreshEn = 0;
            expected.DiskInfoReserve = 0;
            expected.DiskForLun = static_cast<uint8_t>(i);
        } else {
            expected.extFieldA = 0;
            expected.extFlagB4 = 0;
            expected.extFieldB = 0;
            if (variant == CfgVariant::V6716 || variant == CfgVariant::V6716V31 ||
                variant == CfgVariant::V6716V32) {
                expected.WrProtectPin = 1;  // the pin bit is forced on these
            }
        }
        EXPECT_EQ(expected, got) << "slot " << i;
    }
    if (variant == CfgVariant::V6706) {
        EXPECT_EQ(0xFF, target.lun[3].DiskForLun);
        EXPECT_EQ(source.item.udiskReserved, target.item.udiskReserved);
    } else {
        EXPECT_EQ(source.item.CapDummy, target.item.CapDummy);
        const bool carriesReserved = variant == CfgVariant::V6716V31 ||
                                     variant == CfgVariant::V6716V32 || variant == CfgVariant::V6726;
        EXPECT_EQ(carriesReserved ? source.item.udiskReserved : 0u, target.item.udiskReserved);
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, LunTableRoundTrip, ::testing::ValuesIn(kAllVariants));

}  // namespace
