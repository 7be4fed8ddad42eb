#include <gtest/gtest.h>

#include <vector>

#include "ByteTape.h"
#include "HexBytes.h"
#include "RecordLayoutProbe.h"
#include "usb/cfg/CodeCtrlLayout.h"

using namespace Tessor::usb;

namespace {

// Every field distinct; wExtCodePage entry k carries k % 4 in its bits 8-9.
CodeCtrl distinctFields()
{
    CodeCtrl c;
    c.speedLow = 1;
    c.CtrlFlags_rsv2 = 1;
    c.pRstDisa = 1;
    c.pLogWrRstDisa = 1;
    c.Rsv1 = 1;
    c.log2phyLogRW = 1;
    c.buildReplaceZoneEn = 1;
    c.zone128 = 1;
    c.Rsv2 = 0xB;
    c.blockModeFlags = 1;
    c.bPramUse = 0x02;
    c.bSofCheckIntvTime = 0x03;
    c.bSofErrNum = 0x04;
    c.bLEDOnOff = 0x05;
    c.bLEDFreqc = 0x06;
    c.bSectorsPerCode = 0x07;
    c.bPagesPerCode = 0x08;
    c.bCfgTblCe = 0x09;
    c.wCfgTblBlkAddr = 0x0A0B;
    c.bCfgTblPage = 0x0C;
    c.bFlagTblPage = 0x0D;
    c.bFlashMode = 0x0E;
    for (int k = 0; k < CodeCtrl::kExtCodePages; ++k) {
        c.wExtCodePage[k] = static_cast<uint16_t>(((k % 4) << 8) | (0x10 + k));
    }
    c.bPageTblValidPage = 0x0F;
    for (int i = 0; i < CodeCtrl::kPageTblBlocks; ++i) {
        c.wPageTblBlkAddr[i] = static_cast<uint16_t>(((0x40 + i) << 8) | (0x80 + i));
    }
    c.bFlagLenPerBlk = 0x11;
    c.bBlksPerFlagSector = 0x12;
    c.bFlagBitmapLen = 0x13;
    c.bCeCount = 0x14;
    c.wTotalBlocks = 0x1516;
    c.bBlockSetNum = 0x17;
    for (int i = 0; i < CodeCtrl::kBlockSets; ++i) {
        c.wSetBlocks[i] = static_cast<uint16_t>(((0x60 + i) << 8) | (0x70 + i));
        c.wSetPages[i] = static_cast<uint16_t>(((0x90 + i) << 8) | (0xA0 + i));
        c.bSetSectorsPerPage[i] = static_cast<uint8_t>(0x20 + i);
        c.bSetStartSector[i] = static_cast<uint8_t>(0x28 + i);
    }
    c.PhotoEn = 1;
    c.bSysStart0 = 0x31;
    c.bSysStart1 = 0x32;
    c.bSysCount1 = 0x33;
    c.bSysStart2 = 0x34;
    c.bSysCount2 = 0x35;
    c.wLenOf16BlkPagFlg = 0x3637;
    c.bScanCfg = 1;
    c.dwReserved = 0x38393A3B;
    c.bExtCodeIndexPage = 0x3C;
    return c;
}

ByteTape& pageTable(ByteTape& t)
{
    for (int i = 0; i < 16; ++i) {
        t.bytes({0x40 + i, 0x80 + i});
    }
    return t;
}

ByteTape& setCounts(ByteTape& t)
{
    for (int i = 0; i < 5; ++i) {
        t.bytes({0x60 + i, 0x70 + i});
    }
    for (int i = 0; i < 5; ++i) {
        t.bytes({0x90 + i, 0xA0 + i});
    }
    return t;
}

// Page-bitmap blocks to the total block count, as 6716, 149 and 6605 hold them.
ByteTape& sets(ByteTape& t)
{
    pageTable(t).bytes({0x0F, 0x34, 0x35, 0x11, 0x12, 0x17}).run(0x28, 5).run(0x20, 5);
    return setCounts(t).bytes({0x14}).be16(0x1516);
}

ByteTape& head(ByteTape& t)
{
    return t.bytes({0xD5, 0xB5, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09}).be16(0x0A0B).bytes({0x0C});
}

std::vector<uint8_t> expected6706()
{
    ByteTape t;
    t.bytes({0xD5, 0x75, 0x02, 0x03, 0x04, 0x05, 0x06}).be16(0x0A0B).bytes({0x0C, 0x0D}).run(0x10, 30);
    t.bytes({0x08, 0x07, 0x0F});
    pageTable(t).bytes({0x11, 0x12, 0x13, 0x14}).be16(0x1516).bytes({0x17});
    setCounts(t).bytes({0x01});
    return t.get();
}

std::vector<uint8_t> expected6716()
{
    ByteTape t;
    head(t).run(0x10, 30).bytes({0x0D, 0x31, 0x32, 0x33, 0x13});
    sets(t).zeros(10);
    return t.get();
}

std::vector<uint8_t> expected149()
{
    ByteTape t;
    head(t).run(0x10, 40).fill(0xE4, 10).bytes({0x0D, 0x31, 0x32, 0x33, 0x13});
    sets(t).bytes({0x01, 0x0E}).zeros(8);
    return t.get();
}

std::vector<uint8_t> expected6605()
{
    ByteTape t;
    t.bytes({0x69, 0xBB, 0x03, 0x04, 0x07, 0x08, 0x09}).be16(0x0A0B);
    t.bytes({0x0C, 0x31, 0x0D, 0x3C, 0x32, 0x33}).be16(0x3637);
    sets(t).bytes({0x0E}).be32(0x38393A3B).zeros(8);
    return t.get();
}

std::vector<uint8_t> written(CfgVariant variant, const CodeCtrl& c)
{
    return writtenRecord<CodeCtrlLayout>(variant, c);
}

CodeCtrl readBack(CfgVariant variant, const CodeCtrl& source, const CodeCtrl& target = CodeCtrl())
{
    return ::readBack<CodeCtrlLayout>(variant, source, target);
}

TEST(CodeCtrlLayout, GoldenBytesPerVariant)
{
    const CodeCtrl c = distinctFields();
    const struct {
        CfgVariant variant;
        std::vector<uint8_t> bytes;
    } cases[] = {{CfgVariant::V6706, expected6706()},    {CfgVariant::V6716, expected6716()},
                 {CfgVariant::V6716V31, expected149()}, {CfgVariant::V6716V32, expected149()},
                 {CfgVariant::V6726, expected149()},    {CfgVariant::V6605, expected6605()}};
    for (const auto& golden : cases) {
        EXPECT_EQ(hexText(golden.bytes), hexText(written(golden.variant, c))) << static_cast<int>(golden.variant);
    }
}

TEST(CodeCtrlLayout, ReaderRecoversEveryWrittenByte)
{
    const CodeCtrl source = distinctFields();
    for (CfgVariant variant : kAllVariants) {
        expectRewrittenAlike<CodeCtrlLayout>(variant, source);
    }
}

TEST(CodeCtrlLayout, ReadBackExceptions)
{
    const CodeCtrl source = distinctFields();
    {
        CodeCtrl before = source;
        before.wExtCodePage[35] = 0x0321;
        const CodeCtrl target = readBack(CfgVariant::V6716, source, before);
        EXPECT_EQ(0x0011, target.wExtCodePage[1]);  // high byte dropped
        EXPECT_EQ(0x0321, target.wExtCodePage[35]);  // beyond the record: kept
        EXPECT_EQ(0, target.PhotoEn);  // taken from a zero byte
    }
    {
        // A table rebuilt from a device's sector keeps the allocation's
        // start and count copies of the system sectors.
        CodeCtrl before;
        before.bSysStart0 = before.bSysStart1 = before.bSysCount1 = 0x77;
        for (CfgVariant variant : {CfgVariant::V6716, CfgVariant::V6726}) {
            const CodeCtrl target = readBack(variant, source, before);
            EXPECT_EQ(source.bSysStart0, target.bSysStart0);
            EXPECT_EQ(source.bSysStart1, target.bSysStart1);
            EXPECT_EQ(source.bSysCount1, target.bSysCount1);
        }
        EXPECT_EQ(0x0313, readBack(CfgVariant::V6726, source, before).wExtCodePage[3]);
    }
    {
        CodeCtrl big = source;
        big.wExtCodePage[5] = 0x07FF;
        EXPECT_EQ(0x03FF, readBack(CfgVariant::V6716V31, big).wExtCodePage[5]);  // ten bits survive
    }
}

}  // namespace
