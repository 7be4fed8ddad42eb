#include "usb/cfg/CodeCtrlLayout.h"

#include <cstring>

#include "schema/base/Log.h"

namespace Tessor::usb {

namespace {

constexpr int kShortExtCodes = 30;

uint8_t controlFlags(const CodeCtrl& c)
{
    return bitOf(c.speedLow, 0) | bitOf(c.bootloadEn, 1) | bitOf(c.CtrlFlags_rsv2, 2) |
           bitOf(c.bSpeedChangeEn, 3) | bitOf(c.pRstDisa, 4) | bitOf(c.pLogRdRstDisa, 5) |
           bitOf(c.pLogWrRstDisa, 6) | bitOf(c.Rsv1, 7);
}

void readControlFlags(CodeCtrl& c, uint8_t b)
{
    c.speedLow = bitAt(b, 0);
    c.bootloadEn = bitAt(b, 1);
    c.CtrlFlags_rsv2 = bitAt(b, 2);
    c.bSpeedChangeEn = bitAt(b, 3);
    c.pRstDisa = bitAt(b, 4);
    c.pLogRdRstDisa = bitAt(b, 5);
    c.pLogWrRstDisa = bitAt(b, 6);
    c.Rsv1 = bitAt(b, 7);
}

// Byte 1 of 6716 and the 149-byte layouts.
uint8_t modeFlags(const CodeCtrl& c)
{
    return bitOf(c.log2phyLogRW, 0) | bitOf(c.rand_en, 1) | bitsOf(c.blockModeFlags, 2, 2) |
           bitsOf(c.Rsv2, 4, 4);
}

void readModeFlags(CodeCtrl& c, uint8_t b)
{
    c.log2phyLogRW = bitAt(b, 0);
    c.rand_en = bitAt(b, 1);
    c.blockModeFlags = bitsAt(b, 2, 2);
    c.Rsv2 = bitsAt(b, 4, 4);
}

void writeSets(const CodeCtrl& c, CodeCtrlSetsRecord& r)
{
    for (int i = 0; i < CodeCtrl::kPageTblBlocks; ++i) {
        r.wPageTblBlkAddr[i].set(c.wPageTblBlkAddr[i]);
    }
    r.bPageTblValidPage = c.bPageTblValidPage;
    r.bSysStart2 = c.bSysStart2;
    r.bSysCount2 = c.bSysCount2;
    r.bFlagLenPerBlk = c.bFlagLenPerBlk;
    r.bBlksPerFlagSector = c.bBlksPerFlagSector;
    r.bBlockSetNum = c.bBlockSetNum;
    for (int i = 0; i < CodeCtrl::kBlockSets; ++i) {
        r.bSetStartSector[i] = c.bSetStartSector[i];
        r.bSetSectorsPerPage[i] = c.bSetSectorsPerPage[i];
        r.wSetBlocks[i].set(c.wSetBlocks[i]);
        r.wSetPages[i].set(c.wSetPages[i]);
    }
    r.bCeCount = c.bCeCount;
    r.wTotalBlocks.set(c.wTotalBlocks);
}

void readSets(CodeCtrl& c, const CodeCtrlSetsRecord& r)
{
    for (int i = 0; i < CodeCtrl::kPageTblBlocks; ++i) {
        c.wPageTblBlkAddr[i] = r.wPageTblBlkAddr[i].get();
    }
    c.bPageTblValidPage = r.bPageTblValidPage;
    c.bSysStart2 = r.bSysStart2;
    c.bSysCount2 = r.bSysCount2;
    c.bFlagLenPerBlk = r.bFlagLenPerBlk;
    c.bBlksPerFlagSector = r.bBlksPerFlagSector;
    c.bBlockSetNum = r.bBlockSetNum;
    for (int i = 0; i < CodeCtrl::kBlockSets; ++i) {
        c.bSetStartSector[i] = r.bSetStartSector[i];
        c.bSetSectorsPerPage[i] = r.bSetSectorsPerPage[i];
        c.wSetBlocks[i] = r.wSetBlocks[i].get();
        c.wSetPages[i] = r.wSetPages[i].get();
    }
    c.bCeCount = r.bCeCount;
    c.wTotalBlocks = r.wTotalBlocks.get();
}

void writeHead(const CodeCtrl& c, CodeCtrlHeadRecord& r)
{
    r.flags0 = controlFlags(c);
    r.flags1 = modeFlags(c);
    r.bPramUse = c.bPramUse;
    r.bSofCheckIntvTime = c.bSofCheckIntvTime;
    r.bSofErrNum = c.bSofErrNum;
    r.bLEDOnOff = c.bLEDOnOff;
    r.bLEDFreqc = c.bLEDFreqc;
    r.bSectorsPerCode = c.bSectorsPerCode;
    r.bPagesPerCode = c.bPagesPerCode;
    r.bCfgTblCe = c.bCfgTblCe;
    r.wCfgTblBlkAddr.set(c.wCfgTblBlkAddr);
    r.bCfgTblPage = c.bCfgTblPage;
}

void readHead(CodeCtrl& c, const CodeCtrlHeadRecord& r)
{
    readControlFlags(c, r.flags0);
    readModeFlags(c, r.flags1);
    c.bPramUse = r.bPramUse;
    c.bSofCheckIntvTime = r.bSofCheckIntvTime;
    c.bSofErrNum = r.bSofErrNum;
    c.bLEDOnOff = r.bLEDOnOff;
    c.bLEDFreqc = r.bLEDFreqc;
    c.bSectorsPerCode = r.bSectorsPerCode;
    c.bPagesPerCode = r.bPagesPerCode;
    c.bCfgTblCe = r.bCfgTblCe;
    c.wCfgTblBlkAddr = r.wCfgTblBlkAddr.get();
    c.bCfgTblPage = r.bCfgTblPage;
}

void writeSystem(const CodeCtrl& c, CodeCtrlSystemRecord& r)
{
    r.bFlagTblPage = c.bFlagTblPage;
    r.bSysStart0 = c.bSysStart0;
    r.bSysStart1 = c.bSysStart1;
    r.bSysCount1 = c.bSysCount1;
    r.bFlagBitmapLen = c.bFlagBitmapLen;
    writeSets(c, r.sets);
}

// The start and count copies some variants do not read back stay as they are.
void readSystem(CodeCtrl& c, const CodeCtrlSystemRecord& r, bool readStarts, bool readCount1)
{
    c.bFlagTblPage = r.bFlagTblPage;
    if (readStarts) {
        c.bSysStart0 = r.bSysStart0;
        c.bSysStart1 = r.bSysStart1;
    }
    if (readCount1) {
        c.bSysCount1 = r.bSysCount1;
    }
    c.bFlagBitmapLen = r.bFlagBitmapLen;
    readSets(c, r.sets);
}

void writeShortExtCodes(const CodeCtrl& c, uint8_t* low)
{
    for (int i = 0; i < kShortExtCodes; ++i) {
        low[i] = static_cast<uint8_t>(c.wExtCodePage[i]);
    }
}

void readShortExtCodes(CodeCtrl& c, const uint8_t* low)
{
    for (int i = 0; i < kShortExtCodes; ++i) {
        c.wExtCodePage[i] = low[i];
    }
}

int write6706(const CodeCtrl& c, void* place)
{
    CodeCtrl6706Record r{};
    r.flags0 = controlFlags(c);
    r.flags1 = bitOf(c.buildReplaceZoneEn, 0) | bitOf(c.setError, 1) | bitOf(c.log2phyLogRW, 2) |
               bitOf(c.rand_en, 3) | bitOf(c.zone128, 4) | bitsOf(c.Rsv2, 5, 3);
    r.bPramUse = c.bPramUse;
    r.bSofCheckIntvTime = c.bSofCheckIntvTime;
    r.bSofErrNum = c.bSofErrNum;
    r.bLEDOnOff = c.bLEDOnOff;
    r.bLEDFreqc = c.bLEDFreqc;
    r.wCfgTblBlkAddr.set(c.wCfgTblBlkAddr);
    r.bCfgTblPage = c.bCfgTblPage;
    r.bFlagTblPage = c.bFlagTblPage;
    writeShortExtCodes(c, r.extCodeLow);
    r.bPagesPerCode = c.bPagesPerCode;
    r.bSectorsPerCode = c.bSectorsPerCode;
    r.bPageTblValidPage = c.bPageTblValidPage;
    for (int i = 0; i < CodeCtrl::kPageTblBlocks; ++i) {
        r.wPageTblBlkAddr[i].set(c.wPageTblBlkAddr[i]);
    }
    r.bFlagLenPerBlk = c.bFlagLenPerBlk;
    r.bBlksPerFlagSector = c.bBlksPerFlagSector;
    r.bFlagBitmapLen = c.bFlagBitmapLen;
    r.bCeCount = c.bCeCount;
    r.wTotalBlocks.set(c.wTotalBlocks);
    r.bBlockSetNum = c.bBlockSetNum;
    for (int i = 0; i < CodeCtrl::kBlockSets; ++i) {
        r.wSetBlocks[i].set(c.wSetBlocks[i]);
        r.wSetPages[i].set(c.wSetPages[i]);
    }
    r.PhotoEn = c.PhotoEn;
    std::memcpy(place, &r, sizeof r);
    return sizeof r;
}

int read6706(CodeCtrl& c, const void* place)
{
    CodeCtrl6706Record r;
    std::memcpy(&r, place, sizeof r);
    readControlFlags(c, r.flags0);
    c.buildReplaceZoneEn = bitAt(r.flags1, 0);
    c.setError = bitAt(r.flags1, 1);
    c.log2phyLogRW = bitAt(r.flags1, 2);
    c.rand_en = bitAt(r.flags1, 3);
    c.zone128 = bitAt(r.flags1, 4);
    c.Rsv2 = bitsAt(r.flags1, 5, 3);
    c.bPramUse = r.bPramUse;
    c.bSofCheckIntvTime = r.bSofCheckIntvTime;
    c.bSofErrNum = r.bSofErrNum;
    c.bLEDOnOff = r.bLEDOnOff;
    c.bLEDFreqc = r.bLEDFreqc;
    c.wCfgTblBlkAddr = r.wCfgTblBlkAddr.get();
    c.bCfgTblPage = r.bCfgTblPage;
    c.bFlagTblPage = r.bFlagTblPage;
    readShortExtCodes(c, r.extCodeLow);
    c.bPagesPerCode = r.bPagesPerCode;
    c.bSectorsPerCode = r.bSectorsPerCode;
    c.bPageTblValidPage = r.bPageTblValidPage;
    for (int i = 0; i < CodeCtrl::kPageTblBlocks; ++i) {
        c.wPageTblBlkAddr[i] = r.wPageTblBlkAddr[i].get();
    }
    c.bFlagLenPerBlk = r.bFlagLenPerBlk;
    c.bBlksPerFlagSector = r.bBlksPerFlagSector;
    c.bFlagBitmapLen = r.bFlagBitmapLen;
    c.bCeCount = r.bCeCount;
    c.wTotalBlocks = r.wTotalBlocks.get();
    c.bBlockSetNum = r.bBlockSetNum;
    for (int i = 0; i < CodeCtrl::kBlockSets; ++i) {
        c.wSetBlocks[i] = r.wSetBlocks[i].get();
        c.wSetPages[i] = r.wSetPages[i].get();
    }
    c.PhotoEn = r.PhotoEn;
    return sizeof r;
}

int write6716(const CodeCtrl& c, void* place)
{
    CodeCtrl6716Record r{};
    writeHead(c, r.head);
    writeShortExtCodes(c, r.extCodeLow);
    writeSystem(c, r.system);
    std::memcpy(place, &r, sizeof r);
    return sizeof r;
}

int read6716(CodeCtrl& c, const void* place)
{
    CodeCtrl6716Record r;
    std::memcpy(&r, place, sizeof r);
    readHead(c, r.head);
    readShortExtCodes(c, r.extCodeLow);
    readSystem(c, r.system, false, true);
    c.PhotoEn = r.zero[0];
    return sizeof r;
}

int write149(const CodeCtrl& c, void* place)
{
    CodeCtrl149Record r{};
    writeHead(c, r.head);
    for (int k = 0; k < CodeCtrl::kExtCodePages; ++k) {
        r.extCodeLow[k] = static_cast<uint8_t>(c.wExtCodePage[k]);
        r.extCodeHigh[k / 4] |= bitsOf(c.wExtCodePage[k] >> 8, 2 * (k % 4), 2);
    }
    writeSystem(c, r.system);
    r.PhotoEn = c.PhotoEn;
    r.bFlashMode = c.bFlashMode;
    std::memcpy(place, &r, sizeof r);
    return sizeof r;
}

int read149(CodeCtrl& c, const void* place, bool readSystemCopies)
{
    CodeCtrl149Record r;
    std::memcpy(&r, place, sizeof r);
    readHead(c, r.head);
    for (int k = 0; k < CodeCtrl::kExtCodePages; ++k) {
        c.wExtCodePage[k] = static_cast<uint16_t>(
            r.extCodeLow[k] | (bitsAt(r.extCodeHigh[k / 4], 2 * (k % 4), 2) << 8));
    }
    readSystem(c, r.system, readSystemCopies, readSystemCopies);
    c.PhotoEn = r.PhotoEn;
    c.bFlashMode = r.bFlashMode;
    return sizeof r;
}

int write6605(const CodeCtrl& c, void* place)
{
    CodeCtrl6605Record r{};
    r.flags0 = bitOf(c.speedLow, 0) | bitOf(c.bootloadEn, 1) | bitOf(c.bSpeedChangeEn, 2) |
               bitOf(c.pRstDisa, 3) | bitOf(c.pLogRdRstDisa, 4) | bitOf(c.pLogWrRstDisa, 5) |
               bitsOf(c.Rsv1, 6, 2);
    r.flags1 = bitOf(c.bScanCfg, 0) | bitsOf(c.blockModeFlags, 1, 2) | bitOf(c.log2phyLogRW, 3) |
               bitsOf(c.Rsv2, 4, 4);
    r.bSofCheckIntvTime = c.bSofCheckIntvTime;
    r.bSofErrNum = c.bSofErrNum;
    r.bSectorsPerCode = c.bSectorsPerCode;
    r.bPagesPerCode = c.bPagesPerCode;
    r.bCfgTblCe = c.bCfgTblCe;
    r.wCfgTblBlkAddr.set(c.wCfgTblBlkAddr);
    r.bCfgTblPage = c.bCfgTblPage;
    r.bSysStart0 = c.bSysStart0;
    r.bFlagTblPage = c.bFlagTblPage;
    r.bExtCodeIndexPage = c.bExtCodeIndexPage;
    r.bSysStart1 = c.bSysStart1;
    r.bSysCount1 = c.bSysCount1;
    r.wLenOf16BlkPagFlg.set(c.wLenOf16BlkPagFlg);
    writeSets(c, r.sets);
    r.bFlashMode = c.bFlashMode;
    r.dwReserved.set(c.dwReserved);
    std::memcpy(place, &r, sizeof r);
    return sizeof r;
}

int read6605(CodeCtrl& c, const void* place)
{
    CodeCtrl6605Record r;
    std::memcpy(&r, place, sizeof r);
    c.speedLow = bitAt(r.flags0, 0);
    c.bootloadEn = bitAt(r.flags0, 1);
    c.bSpeedChangeEn = bitAt(r.flags0, 2);
    c.pRstDisa = bitAt(r.flags0, 3);
    c.pLogRdRstDisa = bitAt(r.flags0, 4);
    c.pLogWrRstDisa = bitAt(r.flags0, 5);
    c.Rsv1 = bitsAt(r.flags0, 6, 2);
    c.bScanCfg = bitAt(r.flags1, 0);
    c.blockModeFlags = bitsAt(r.flags1, 1, 2);
    c.log2phyLogRW = bitAt(r.flags1, 3);
    c.Rsv2 = bitsAt(r.flags1, 4, 4);
    c.bSofCheckIntvTime = r.bSofCheckIntvTime;
    c.bSofErrNum = r.bSofErrNum;
    c.bSectorsPerCode = r.bSectorsPerCode;
    c.bPagesPerCode = r.bPagesPerCode;
    c.bCfgTblCe = r.bCfgTblCe;
    c.wCfgTblBlkAddr = r.wCfgTblBlkAddr.get();
    c.bCfgTblPage = r.bCfgTblPage;
    c.bSysStart0 = r.bSysStart0;
    c.bFlagTblPage = r.bFlagTblPage;
    c.bExtCodeIndexPage = r.bExtCodeIndexPage;
    c.bSysStart1 = r.bSysStart1;
    c.bSysCount1 = r.bSysCount1;
    c.wLenOf16BlkPagFlg = r.wLenOf16BlkPagFlg.get();
    readSets(c, r.sets);
    c.bFlashMode = r.bFlashMode;
    c.dwReserved = r.dwReserved.get();
    return sizeof r;
}

const char* sizeMessage(CfgVariant variant)
{
    switch (variant) {
    case CfgVariant::V6706: return "sizeof CODE_CTRL 6706 is %d";
    case CfgVariant::V6716: return "sizeof CODE_CTRL 6716 is %d";
    case CfgVariant::V6716V31: return "sizeof CODE_CTRL_6716_V31 is %d";
    case CfgVariant::V6716V32: return "sizeof CODE_CTRL_6716_V32 is %d";
    case CfgVariant::V6726: return "sizeof CODE_CTRL_6726 is %d";
    case CfgVariant::V6605: return "sizeof CODE_CTRL 6605 is %d";
    }
    return "";
}

}  // namespace

int CodeCtrlLayout::length(CfgVariant variant)
{
    switch (variant) {
    case CfgVariant::V6706: return sizeof(CodeCtrl6706Record);
    case CfgVariant::V6716: return sizeof(CodeCtrl6716Record);
    case CfgVariant::V6716V31:
    case CfgVariant::V6716V32:
    case CfgVariant::V6726: return sizeof(CodeCtrl149Record);
    case CfgVariant::V6605: return sizeof(CodeCtrl6605Record);
    }
    return 0;
}

int CodeCtrlLayout::write(CfgVariant variant, const CodeCtrl& ctrl, void* place)
{
    int len = 0;
    switch (variant) {
    case CfgVariant::V6706: len = write6706(ctrl, place); break;
    case CfgVariant::V6716: len = write6716(ctrl, place); break;
    case CfgVariant::V6716V31:
    case CfgVariant::V6716V32:
    case CfgVariant::V6726: len = write149(ctrl, place); break;
    case CfgVariant::V6605: len = write6605(ctrl, place); break;
    }
    CPLOG(7, sizeMessage(variant), len);
    return len;
}

int CodeCtrlLayout::read(CfgVariant variant, CodeCtrl& ctrl, const void* place)
{
    int len = 0;
    switch (variant) {
    case CfgVariant::V6706:
        len = read6706(ctrl, place);
        CPLOG(7, "sizeof CODE_CTRL 6706 reverseSerialize is %d", len);
        return len;
    case CfgVariant::V6716: len = read6716(ctrl, place); break;
    case CfgVariant::V6716V31:
    case CfgVariant::V6716V32: len = read149(ctrl, place, true); break;
    case CfgVariant::V6726: len = read149(ctrl, place, false); break;
    case CfgVariant::V6605: len = read6605(ctrl, place); break;
    }
    CPLOG(7, sizeMessage(variant), len);
    return len;
}

}  // namespace Tessor::usb
