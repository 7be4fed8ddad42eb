// The packed flash-information block (FLASH_INFO) of each controller variant.
#pragma once

#include <cstddef>

#include "platform/orrin/ByteOrder.h"
#include "usb/cfg/CfgVariant.h"
#include "usb/cfg/FlashCtrl.h"

namespace Tessor::usb {

struct FlashCtrl6706Record {
    uint8_t flags0;
    uint8_t flags1;
    uint8_t flags2;
    Be16 wPagesPerBlock;
    Be16 wSectorsPerBlock;
    uint8_t bSectorsPerPage;
    uint8_t bBlockPerChipExp;
    uint8_t bPagePerBlockExp;
    uint8_t bSectorsPerBlockExp;
    uint8_t bBlockSetSectorsPerPage[5];
    uint8_t bBlockSetStartSector[5];
    Be16 wValidSectorsPerBlock;
    Be16 wValidPagesPerBlock;
    uint8_t bStartSectorNo;
    uint8_t planes;
    uint8_t bSectPerChipMP;
    uint8_t bSectPerChip;
    uint8_t bSectPerInterleave;
    Be16 wRowInc2Plane;  // low 16 bits only
    Be32 dwRowInc2Intlv;
    uint8_t bRowInc2NextMP;
    uint8_t bReadBanks;
    uint8_t bWriteBanks;
    uint8_t bEraseBanks;
    uint8_t bbEraseTimes;
    uint8_t bEraseIncAddr;
    uint8_t bColCyl;
    uint8_t bRowCyl;
    uint8_t bRd_CYCLE;
    uint8_t bWr_CYCLE;
    uint8_t bFc_CYL2;
    uint8_t bANA_CTL;
    uint8_t bANA_CTLB;
    uint8_t bANA_CTLC;
    uint8_t bANA_CTLD;
    uint8_t bEccBits;
    uint8_t bCacheStatus;
    uint8_t bProgramStatus;
    uint8_t bEraseStatus;
    uint8_t bCacheProgramCmd;
    uint8_t bBankProgramCmd;
    uint8_t bFlashType;
    uint8_t bIntlvRdCmd0;
    uint8_t bIntlvRdCmd1;
    uint8_t bTailRsv;
};
static_assert(sizeof(FlashCtrl6706Record) == 61);
static_assert(offsetof(FlashCtrl6706Record, planes) == 26);
static_assert(offsetof(FlashCtrl6706Record, bRd_CYCLE) == 44);

// Bytes 0 to 39, shared by 6716, 6716V31, 6716V32, 6726 and 6605.
struct FlashCtrlHeadRecord {
    uint8_t flags0;
    uint8_t flags1;
    uint8_t flags2;
    Be16 wPagesPerBlock;
    Be16 wPhyPagesPerBlock;
    uint8_t bSectorsPerPage;
    uint8_t bBlockPerChipExp;
    uint8_t bPagePerBlockExp;
    uint8_t bSectorsPerBlockExp;
    Be16 wValidSectorsPerBlock;
    Be16 wValidPagesPerBlock;
    uint8_t planes;
    uint8_t bSectPerChipMP;
    uint8_t bSectPerChip;
    uint8_t bSectPerInterleave;
    Be32 wRowInc2Plane;
    Be32 dwRowInc2Intlv;
    uint8_t bRowInc2NextMP;
    uint8_t bEraseCnt;
    Be16 wEraseIncRowNum;
    uint8_t bIntlvRdCmd0;
    uint8_t bIntlvRdCmd1;
    uint8_t bColCyl;
    uint8_t bRowCyl;
    uint8_t bRd_CYCLE;
    uint8_t bWr_CYCLE;
    uint8_t bCacheProgramCmd;
    uint8_t bBankProgramCmd;
    uint8_t bNextSentCmd;
};
static_assert(sizeof(FlashCtrlHeadRecord) == 40);
static_assert(offsetof(FlashCtrlHeadRecord, wRowInc2Plane) == 19);
static_assert(offsetof(FlashCtrlHeadRecord, bRd_CYCLE) == 35);

// Bytes 40 on of 6716, 6716V31, 6716V32 and 6726 (the longest, 6726, here).
struct FlashCtrlTailRecord {
    uint8_t bEccBits;
    uint8_t bFlashType;
    uint8_t bANA_CTL;
    uint8_t bANA_CTLB;
    uint8_t bANA_CTLC;
    uint8_t bANA_CTLD;
    uint8_t rest[9];  // constant 3 (after bEccDelay on 6726), then zeros
};

struct FlashCtrl6605TailRecord {
    uint8_t bExtCfg0;
    uint8_t bExtCfg1;
    uint8_t bExtCfg2;
    uint8_t b3V3OutCfg;
    uint8_t bExtCfg4;
    uint8_t zero[3];
};

struct FlashCtrlRecord {
    FlashCtrlHeadRecord head;
    union {
        FlashCtrlTailRecord tail;
        FlashCtrl6605TailRecord tail6605;
    };
};
static_assert(sizeof(FlashCtrlRecord) == 55);
static_assert(sizeof(FlashCtrlHeadRecord) + sizeof(FlashCtrl6605TailRecord) == 48);

class FlashCtrlLayout {
public:
    static int length(CfgVariant variant);
    static int write(CfgVariant variant, const FlashCtrl& flash, void* place);
    static int read(CfgVariant variant, FlashCtrl& flash, const void* place);
};

}  // namespace Tessor::usb
