// The packed code-control record (CODE_CTRL) of each controller variant.
#pragma once

#include <cstddef>

#include "platform/orrin/ByteOrder.h"
#include "usb/cfg/CfgVariant.h"
#include "usb/cfg/CodeCtrl.h"

namespace Tessor::usb {

// Page-bitmap blocks through the block-set copies, shared by 6716, the
// 149-byte layouts and 6605.
struct CodeCtrlSetsRecord {
    Be16 wPageTblBlkAddr[16];
    uint8_t bPageTblValidPage;
    uint8_t bSysStart2;
    uint8_t bSysCount2;
    uint8_t bFlagLenPerBlk;
    uint8_t bBlksPerFlagSector;
    uint8_t bBlockSetNum;
    uint8_t bSetStartSector[5];
    uint8_t bSetSectorsPerPage[5];
    Be16 wSetBlocks[5];
    Be16 wSetPages[5];
    uint8_t bCeCount;
    Be16 wTotalBlocks;
};
static_assert(sizeof(CodeCtrlSetsRecord) == 71);

// Bytes 0 to 12 of 6716 and the 149-byte layouts.
struct CodeCtrlHeadRecord {
    uint8_t flags0;
    uint8_t flags1;
    uint8_t bPramUse;
    uint8_t bSofCheckIntvTime;
    uint8_t bSofErrNum;
    uint8_t bLEDOnOff;
    uint8_t bLEDFreqc;
    uint8_t bSectorsPerCode;
    uint8_t bPagesPerCode;
    uint8_t bCfgTblCe;
    Be16 wCfgTblBlkAddr;
    uint8_t bCfgTblPage;
};
static_assert(sizeof(CodeCtrlHeadRecord) == 13);

// From the flag-table page to the total block count in 6716 and the 149-byte layouts.
struct CodeCtrlSystemRecord {
    uint8_t bFlagTblPage;
    uint8_t bSysStart0;
    uint8_t bSysStart1;
    uint8_t bSysCount1;
    uint8_t bFlagBitmapLen;
    CodeCtrlSetsRecord sets;
};
static_assert(sizeof(CodeCtrlSystemRecord) == 76);

struct CodeCtrl6706Record {
    uint8_t flags0;
    uint8_t flags1;
    uint8_t bPramUse;
    uint8_t bSofCheckIntvTime;
    uint8_t bSofErrNum;
    uint8_t bLEDOnOff;
    uint8_t bLEDFreqc;
    Be16 wCfgTblBlkAddr;
    uint8_t bCfgTblPage;
    uint8_t bFlagTblPage;
    uint8_t extCodeLow[30];
    uint8_t bPagesPerCode;
    uint8_t bSectorsPerCode;
    uint8_t bPageTblValidPage;
    Be16 wPageTblBlkAddr[16];
    uint8_t bFlagLenPerBlk;
    uint8_t bBlksPerFlagSector;
    uint8_t bFlagBitmapLen;
    uint8_t bCeCount;
    Be16 wTotalBlocks;
    uint8_t bBlockSetNum;
    Be16 wSetBlocks[5];
    Be16 wSetPages[5];
    uint8_t PhotoEn;
};
static_assert(sizeof(CodeCtrl6706Record) == 104);
static_assert(offsetof(CodeCtrl6706Record, wPageTblBlkAddr) == 44);
static_assert(offsetof(CodeCtrl6706Record, wSetPages) == 93);

struct CodeCtrl6716Record {
    CodeCtrlHeadRecord head;
    uint8_t extCodeLow[30];
    CodeCtrlSystemRecord system;
    uint8_t zero[10];  // byte 0 of it is where a read-back takes PhotoEn from
};
static_assert(sizeof(CodeCtrl6716Record) == 129);
static_assert(offsetof(CodeCtrl6716Record, system) == 43);
static_assert(offsetof(CodeCtrl6716Record, zero) == 119);

struct CodeCtrl149Record {
    CodeCtrlHeadRecord head;
    uint8_t extCodeLow[40];
    uint8_t extCodeHigh[10];  // bits 8-9 of entry k at bit 2*(k%4) of byte k/4
    CodeCtrlSystemRecord system;
    uint8_t PhotoEn;
    uint8_t bFlashMode;
    uint8_t zero[8];
};
static_assert(sizeof(CodeCtrl149Record) == 149);
static_assert(offsetof(CodeCtrl149Record, system) == 63);
static_assert(offsetof(CodeCtrl149Record, PhotoEn) == 139);

struct CodeCtrl6605Record {
    uint8_t flags0;
    uint8_t flags1;
    uint8_t bSofCheckIntvTime;
    uint8_t bSofErrNum;
    uint8_t bSectorsPerCode;
    uint8_t bPagesPerCode;
    uint8_t bCfgTblCe;
    Be16 wCfgTblBlkAddr;
    uint8_t bCfgTblPage;
    uint8_t bSysStart0;
    uint8_t bFlagTblPage;
    uint8_t bExtCodeIndexPage;
    uint8_t bSysStart1;
    uint8_t bSysCount1;
    Be16 wLenOf16BlkPagFlg;
    CodeCtrlSetsRecord sets;
    uint8_t bFlashMode;
    Be32 dwReserved;
    uint8_t zero[8];
};
static_assert(sizeof(CodeCtrl6605Record) == 101);
static_assert(offsetof(CodeCtrl6605Record, sets) == 17);
static_assert(offsetof(CodeCtrl6605Record, dwReserved) == 89);

class CodeCtrlLayout {
public:
    static int length(CfgVariant variant);
    // The code pages the record lists; the 6605's record lists none.
    static int codePageEntries(CfgVariant variant);
    static int write(CfgVariant variant, const CodeCtrl& ctrl, void* place);
    static int read(CfgVariant variant, CodeCtrl& ctrl, const void* place);
};

}  // namespace Tessor::usb
