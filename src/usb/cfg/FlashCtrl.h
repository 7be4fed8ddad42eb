// The fields of the flash-information record, as the controller variants share them.
// The defaults are those of every variant but 6706 (see CfgFlash::init).
#pragma once

#include <cstdint>

namespace Tessor::usb {

struct FlashCtrl {
    static constexpr int kBlockSets = 5;

    uint32_t Bit16Flash = 0;
    uint32_t Bit16Bus = 0;
    uint32_t PhyCopyBack = 0;
    uint8_t WriteErrCheck = 0;
    uint8_t CopyBackErrCheck = 0;
    uint8_t EccErrCheck = 0;
    uint32_t DualChannel = 1;
    uint8_t mlc_flash = 0;
    uint8_t rsv = 0;
    uint8_t DualDie = 1;
    uint8_t Page4K = 1;
    uint8_t spareFlag1 = 0;
    uint8_t spareFlag2 = 0;
    uint8_t EEPROMType = 0;
    uint32_t NorType = 0;
    uint32_t NandType = 0;
    uint8_t NotChkTimeOut = 0;
    uint8_t WriteDlyEnable = 1;
    uint8_t agandFlag = 0;
    uint8_t agandFlag2 = 0;
    uint8_t i2cPinSel = 0;
    uint8_t Chip1Sel2 = 0;
    uint8_t useFC_CYL2 = 0;
    uint8_t InterWaitReadyDis = 0;
    uint8_t HwEcc = 0;
    uint8_t Ecc12 = 0;
    uint8_t eraseMode = 0;
    uint8_t Rsv = 0;
    uint16_t wPagesPerBlock = 64;
    uint16_t wSectorsPerBlock = 256;
    uint8_t bSectorsPerPage = 4;
    uint8_t bBlockPerChipExp = 10;
    uint8_t bPagePerBlockExp = 6;
    uint8_t bSectorsPerBlockExp = 8;
    uint8_t bBlockSetSectorsPerPage[kBlockSets] = {};
    uint8_t bBlockSetStartSector[kBlockSets] = {};
    uint16_t wValidSectorsPerBlock = 256;
    uint16_t wValidPagesPerBlock = 64;
    uint8_t bStartSectorNo = 0;
    uint8_t MaxPlanes = 0;
    uint8_t MaxInterleaves = 0;
    uint8_t MaxChips = 0;
    uint8_t MultiPlaneOp = 0;
    uint8_t bSectPerChipMP = 4;
    uint8_t bSectPerChip = 4;
    uint8_t bSectPerInterleave = 4;
    uint32_t wRowInc2Plane = 0x80;
    uint32_t dwRowInc2Intlv = 0x80000;
    uint8_t bRowInc2NextMP = 1;
    uint8_t bEraseCnt = 1;
    uint16_t wEraseIncRowNum = 0;
    uint8_t bReadBanks = 1;
    uint8_t bWriteBanks = 1;
    uint8_t bEraseBanks = 1;
    uint8_t bbEraseTimes = 1;
    uint8_t bEraseIncAddr = 1;
    uint8_t bColCyl = 2;
    uint8_t bRowCyl = 3;
    uint8_t bRd_CYCLE = 0x22;
    uint8_t bWr_CYCLE = 0x22;
    uint8_t bFc_CYL2 = 0xFF;
    uint8_t bANA_CTL = 0;
    uint8_t bANA_CTLB = 1;
    uint8_t bANA_CTLC = 0;
    uint8_t bANA_CTLD = 0;
    uint8_t bEccBits = 7;
    uint8_t bCacheStatus = 0;
    uint8_t bProgramStatus = 0;
    uint8_t bEraseStatus = 0;
    uint8_t bCacheProgramCmd = 0x10;
    uint8_t bBankProgramCmd = 0x10;
    uint8_t bNextSentCmd = 0;
    uint8_t bFlashType = 0;
    uint8_t bIntlvRdCmd0 = 0x70;
    uint8_t bIntlvRdCmd1 = 0x70;
    uint16_t wPhyPagesPerBlock = 0;
    uint8_t bTailRsv = 0;
    uint8_t bEccDelay = 0;
    uint8_t spareFlag3 = 0;
    uint8_t spareFlag4 = 0;
    uint8_t bExtCfg0 = 0;
    uint8_t bExtCfg1 = 0;
    uint8_t bExtCfg2 = 0;
    uint8_t b3V3OutCfg = 2;
    uint8_t bExtCfg4 = 0;

    bool operator==(const FlashCtrl&) const = default;
};

}  // namespace Tessor::usb
