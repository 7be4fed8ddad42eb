#include <gtest/gtest.h>

#include <vector>

#include "ByteTape.h"
#include "HexBytes.h"
#include "RecordLayoutProbe.h"
#include "usb/cfg/FlashCtrlLayout.h"

using namespace Tessor::usb;

namespace {

FlashCtrl distinctFields()
{
    FlashCtrl f;
    f.Bit16Flash = 1;
    f.Bit16Bus = 0;
    f.PhyCopyBack = 1;
    f.CopyBackErrCheck = 1;
    f.DualChannel = 1;
    f.rsv = 0x2D;
    f.DualDie = 0;
    f.Page4K = 1;
    f.EEPROMType = 1;
    f.NandType = 1;
    f.WriteDlyEnable = 1;
    f.i2cPinSel = 1;
    f.Chip1Sel2 = 1;
    f.Rsv = 0x1B;
    f.spareFlag1 = 1;
    f.agandFlag = 1;
    f.HwEcc = 1;
    f.eraseMode = 1;
    f.spareFlag3 = 1;
    f.wPagesPerBlock = 0x0102;
    f.wSectorsPerBlock = 0x0304;
    f.bSectorsPerPage = 0x05;
    f.bBlockPerChipExp = 0x06;
    f.bPagePerBlockExp = 0x07;
    f.bSectorsPerBlockExp = 0x08;
    for (int i = 0; i < FlashCtrl::kBlockSets; ++i) {
        f.bBlockSetSectorsPerPage[i] = static_cast<uint8_t>(0x10 + i);
        f.bBlockSetStartSector[i] = static_cast<uint8_t>(0x18 + i);
    }
    f.wValidSectorsPerBlock = 0x0910;
    f.wValidPagesPerBlock = 0x1112;
    f.bStartSectorNo = 0x13;
    f.MaxPlanes = 5;
    f.MaxInterleaves = 2;
    f.MaxChips = 3;
    f.MultiPlaneOp = 1;
    f.bSectPerChipMP = 0x21;
    f.bSectPerChip = 0x22;
    f.bSectPerInterleave = 0x23;
    f.wRowInc2Plane = 0x24252627;
    f.dwRowInc2Intlv = 0x28292A2B;
    f.bRowInc2NextMP = 0x2C;
    f.bEraseCnt = 0x2D;
    f.wEraseIncRowNum = 0x1234;
    f.bReadBanks = 0x30;
    f.bWriteBanks = 0x31;
    f.bEraseBanks = 0x32;
    f.bbEraseTimes = 0x33;
    f.bEraseIncAddr = 0x34;
    f.bColCyl = 0x35;
    f.bRowCyl = 0x36;
    f.bRd_CYCLE = 0x37;
    f.bWr_CYCLE = 0x38;
    f.bFc_CYL2 = 0x39;
    f.bANA_CTL = 0x3A;
    f.bANA_CTLB = 0x3B;
    f.bANA_CTLC = 0x3C;
    f.bANA_CTLD = 0x3D;
    f.bEccBits = 0x3E;
    f.bCacheStatus = 0x3F;
    f.bProgramStatus = 0x40;
    f.bEraseStatus = 0x41;
    f.bCacheProgramCmd = 0x42;
    f.bBankProgramCmd = 0x43;
    f.bNextSentCmd = 0x44;
    f.bFlashType = 0x45;
    f.bIntlvRdCmd0 = 0x46;
    f.bIntlvRdCmd1 = 0x47;
    f.wPhyPagesPerBlock = 0x4849;
    f.bTailRsv = 0x4A;
    f.bEccDelay = 0x4B;
    f.bExtCfg0 = 0x4C;
    f.bExtCfg1 = 0x4D;
    f.bExtCfg2 = 0x4E;
    f.b3V3OutCfg = 0x4F;
    f.bExtCfg4 = 0x50;
    return f;
}

std::vector<uint8_t> expected6706()
{
    ByteTape t;
    t.bytes({0x55, 0xAD, 0xB5}).be16(0x0102).be16(0x0304).bytes({0x05, 0x06, 0x07, 0x08});
    t.run(0x10, 5).run(0x18, 5).be16(0x0910).be16(0x1112).bytes({0x13, 0xF5, 0x21, 0x22, 0x23});
    t.be16(0x2627).be32(0x28292A2B).bytes({0x2C}).run(0x30, 18);
    t.bytes({0x42, 0x43, 0x45, 0x46, 0x47, 0x4A});
    return t.get();
}

// Bytes 0 to 39 of the other variants, with their own flag bytes and cycles.
ByteTape head(int flags1, int flags2, int rd, int wr)
{
    ByteTape t;
    t.bytes({0x01, flags1, flags2}).be16(0x0102).be16(0x4849).bytes({0x05, 0x06, 0x07, 0x08});
    t.be16(0x0910).be16(0x1112).bytes({0x75, 0x21, 0x22, 0x23}).be32(0x24252627).be32(0x28292A2B);
    t.bytes({0x2C, 0x2D}).be16(0x1234).bytes({0x46, 0x47, 0x35, 0x36, rd, wr, 0x42, 0x43, 0x44});
    return t;
}

std::vector<uint8_t> written(CfgVariant variant, const FlashCtrl& f)
{
    return writtenRecord<FlashCtrlLayout>(variant, f);
}

FlashCtrl readBack(CfgVariant variant, const FlashCtrl& source, const FlashCtrl& target = FlashCtrl())
{
    return ::readBack<FlashCtrlLayout>(variant, source, target);
}

std::vector<uint8_t> withTail(ByteTape t, std::initializer_list<int> bytes, int zeros)
{
    return t.bytes(bytes).zeros(zeros).get();
}

TEST(FlashCtrlLayout, GoldenBytesPerVariant)
{
    const FlashCtrl f = distinctFields();
    const std::vector<uint8_t> v3x =
        withTail(head(0xD6, 0xB7, 0x11, 0x11), {0x3E, 0x45, 0x3A, 0x3B, 0x3C, 0x3D, 0x03}, 7);
    const struct {
        CfgVariant variant;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {CfgVariant::V6706, expected6706()},
        {CfgVariant::V6716, withTail(head(0xB6, 0x97, 0x37, 0x38), {0x3E, 0x45, 0x3A, 0x3B, 0x3C, 0x3D, 0x03}, 3)},
        {CfgVariant::V6716V31, v3x},
        {CfgVariant::V6716V32, v3x},
        {CfgVariant::V6726,
         withTail(head(0xD6, 0x6F, 0x11, 0x11), {0x3E, 0x45, 0x3A, 0x3B, 0x3C, 0x3D, 0x4B, 0x03}, 7)},
        {CfgVariant::V6605, withTail(head(0xB3, 0x25, 0x37, 0x38), {0x4C, 0x4D, 0x4E, 0x4F, 0x50}, 3)},
    };
    for (const auto& golden : cases) {
        EXPECT_EQ(hexText(golden.bytes), hexText(written(golden.variant, f))) << static_cast<int>(golden.variant);
    }
}

TEST(FlashCtrlLayout, ReaderRecoversEveryWrittenByte)
{
    FlashCtrl source = distinctFields();
    // What the 6716 family leaves unread takes the value its reader sets.
    source.DualDie = 1;
    source.Chip1Sel2 = 1;
    source.agandFlag = 0;
    source.Rsv = 0;
    for (CfgVariant variant : kAllVariants) {
        FlashCtrl src = source;
        if (variant == CfgVariant::V6605) {
            src.DualDie = 0;
        }
        if (variant == CfgVariant::V6716V31 || variant == CfgVariant::V6716V32 ||
            variant == CfgVariant::V6726) {
            src.wPhyPagesPerBlock = FlashCtrl().wPhyPagesPerBlock;
        }
        expectRewrittenAlike<FlashCtrlLayout>(variant, src);
    }
}

TEST(FlashCtrlLayout, ReadBackExceptions)
{
    const FlashCtrl source = distinctFields();
    const FlashCtrl t6716 = readBack(CfgVariant::V6716, source);
    EXPECT_EQ(1, t6716.DualDie);
    EXPECT_EQ(1, t6716.Chip1Sel2);
    EXPECT_EQ(0x4849, t6716.wSectorsPerBlock);
    EXPECT_EQ(0x4849, t6716.wPhyPagesPerBlock);

    const FlashCtrl tV31 = readBack(CfgVariant::V6716V31, source);
    EXPECT_EQ(0x11, tV31.bRd_CYCLE);
    EXPECT_EQ(0x11, tV31.bWr_CYCLE);
    EXPECT_EQ(0, tV31.agandFlag);
    EXPECT_EQ(0x4849, tV31.wSectorsPerBlock);
    EXPECT_EQ(0, tV31.wPhyPagesPerBlock);

    EXPECT_EQ(0x4B, readBack(CfgVariant::V6726, source).bEccDelay);

    FlashCtrl before;
    before.DualDie = 1;
    EXPECT_EQ(0, readBack(CfgVariant::V6605, source, before).DualDie);
}

TEST(FlashCtrlLayout, ReservedBitsKeepOnlyWhatFits)
{
    FlashCtrl f;
    f.Rsv = 0xFF;
    struct Case {
        CfgVariant variant;
        int byte;
        uint8_t mask;
    };
    for (const Case& c : {Case{CfgVariant::V6706, 2, 0xF0}, Case{CfgVariant::V6716, 2, 0x80},
                          Case{CfgVariant::V6716V31, 2, 0x80}, Case{CfgVariant::V6726, 2, 0xE0},
                          Case{CfgVariant::V6605, 2, 0x20}}) {
        FlashCtrl zero = f;
        zero.Rsv = 0;
        const uint8_t with = written(c.variant, f)[c.byte];
        const uint8_t without = written(c.variant, zero)[c.byte];
        EXPECT_EQ(c.mask, with ^ without) << static_cast<int>(c.variant);
    }
}

}  // namespace
