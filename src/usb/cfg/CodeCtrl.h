// The fields of the code-control record, as the controller variants share them.
#pragma once

#include <cstdint>

namespace Tessor::usb {

struct CodeCtrl {
    static constexpr int kExtCodePages = 40;
    static constexpr int kPageTblBlocks = 16;
    static constexpr int kBlockSets = 5;

    uint8_t speedLow = 0;
    uint8_t bootloadEn = 0;
    uint8_t CtrlFlags_rsv2 = 0;
    uint8_t bSpeedChangeEn = 0;
    uint8_t pRstDisa = 0;
    uint8_t pLogRdRstDisa = 0;
    uint8_t pLogWrRstDisa = 0;
    uint8_t Rsv1 = 0;
    uint8_t log2phyLogRW = 0;
    uint8_t rand_en = 0;
    uint8_t buildReplaceZoneEn = 0;
    uint8_t setError = 0;
    uint8_t zone128 = 0;
    uint8_t Rsv2 = 0;
    uint8_t bPramUse = 0;
    uint8_t bSofCheckIntvTime = 0;
    uint8_t bSofErrNum = 0;
    uint8_t bLEDOnOff = 0;
    uint8_t bLEDFreqc = 0x30;
    uint8_t bPagesPerCode = 0;
    uint8_t bSectorsPerCode = 8;
    uint16_t wCfgTblBlkAddr = 0;
    uint8_t bCfgTblPage = 0;
    uint8_t bFlagTblPage = 0;
    uint8_t bFlashMode = 0;
    uint16_t wExtCodePage[kExtCodePages] = {};
    uint8_t bPageTblValidPage = 0;
    uint16_t wPageTblBlkAddr[kPageTblBlocks] = {};
    uint8_t bFlagLenPerBlk = 0;
    uint8_t bBlksPerFlagSector = 0;
    uint8_t bFlagBitmapLen = 0;
    uint8_t bCeCount = 1;
    uint16_t wTotalBlocks = 0;
    uint8_t bBlockSetNum = 0;
    uint16_t wSetBlocks[kBlockSets] = {};
    uint16_t wSetPages[kBlockSets] = {};
    uint8_t PhotoEn = 0;
    uint8_t bSetSectorsPerPage[kBlockSets] = {};
    uint8_t bSetStartSector[kBlockSets] = {};
    uint8_t blockModeFlags = 0;  // bit 0: block mode; bit 1 always clear
    uint8_t bCfgTblCe = 0;
    uint8_t bSysStart0 = 0;
    uint8_t bSysStart1 = 0;
    uint8_t bSysCount1 = 0;
    uint8_t bSysStart2 = 0;
    uint8_t bSysCount2 = 0;
    uint32_t PhotoCfgTableAddress = 0;  // printed only
    uint16_t wLenOf16BlkPagFlg = 0;
    uint8_t bScanCfg = 0;
    uint32_t dwReserved = 0;
    uint8_t bExtCodeIndexPage = 0;

    bool operator==(const CodeCtrl&) const = default;
};

}  // namespace Tessor::usb
