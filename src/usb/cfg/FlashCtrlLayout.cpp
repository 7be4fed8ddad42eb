#include "usb/cfg/FlashCtrlLayout.h"

#include <cstring>

#include "schema/base/Log.h"

namespace Tessor::usb {

namespace {

constexpr uint8_t kTailConstant = 3;
constexpr uint8_t kFixedCycle = 0x11;

uint8_t planesByte(const FlashCtrl& f)
{
    return bitsOf(f.MaxPlanes, 0, 3) | bitsOf(f.MaxInterleaves, 3, 2) | bitsOf(f.MaxChips, 5, 2);
}

void readPlanesByte(FlashCtrl& f, uint8_t b)
{
    f.MaxPlanes = bitsAt(b, 0, 3);
    f.MaxInterleaves = bitsAt(b, 3, 2);
    f.MaxChips = bitsAt(b, 5, 2);
}

uint8_t flags1(CfgVariant v, const FlashCtrl& f)
{
    switch (v) {
    case CfgVariant::V6716: return bitOf(f.DualDie, 0) | bitOf(f.EEPROMType, 1) | bitsOf(f.rsv, 2, 6);
    case CfgVariant::V6605:
        return bitOf(f.eraseMode, 0) | bitOf(f.agandFlag, 1) | bitOf(f.agandFlag2, 2) |
               bitOf(f.Chip1Sel2, 4) | bitsOf(f.rsv, 5, 3);
    default:
        return bitOf(f.DualDie, 0) | bitOf(f.EEPROMType, 1) | bitOf(f.spareFlag1, 2) |
               bitOf(f.spareFlag2, 3) | bitsOf(f.rsv, 4, 4);
    }
}

uint8_t flags2(CfgVariant v, const FlashCtrl& f)
{
    const uint8_t common = bitOf(f.i2cPinSel, 0) | bitOf(f.Chip1Sel2, 1) | bitOf(f.HwEcc, 2) |
                           bitOf(f.Ecc12, 3) | bitOf(f.eraseMode, 4);
    switch (v) {
    case CfgVariant::V6716: return common | bitsOf(f.Rsv, 7, 1);
    case CfgVariant::V6726:
        return bitOf(f.i2cPinSel, 0) | bitOf(f.Chip1Sel2, 1) | bitOf(f.eraseMode, 2) |
               bitOf(f.agandFlag, 3) | bitOf(f.agandFlag2, 4) | bitsOf(f.Rsv, 5, 3);
    case CfgVariant::V6605:
        return bitOf(f.HwEcc, 0) | bitOf(f.Ecc12, 1) | bitOf(f.spareFlag3, 2) | bitOf(f.spareFlag4, 4) |
               bitsOf(f.Rsv, 5, 1);
    default: return common | bitOf(f.agandFlag, 5) | bitOf(f.agandFlag2, 6) | bitsOf(f.Rsv, 7, 1);
    }
}

void readFlags(CfgVariant v, FlashCtrl& f, uint8_t b1, uint8_t b2)
{
    switch (v) {
    case CfgVariant::V6605:
        f.eraseMode = bitAt(b1, 0);
        f.agandFlag = bitAt(b1, 1);
        f.agandFlag2 = bitAt(b1, 2);
        f.Chip1Sel2 = bitAt(b1, 4);
        f.rsv = bitsAt(b1, 5, 3);
        f.HwEcc = bitAt(b2, 0);
        f.Ecc12 = bitAt(b2, 1);
        f.spareFlag3 = bitAt(b2, 2);
        f.spareFlag4 = bitAt(b2, 4);
        f.Rsv = bitsAt(b2, 5, 1);
        f.DualDie = 0;  // the block has no such bit
        return;
    case CfgVariant::V6716:
        f.EEPROMType = bitAt(b1, 1);
        f.rsv = bitsAt(b1, 2, 6);
        break;
    default:
        f.EEPROMType = bitAt(b1, 1);
        f.spareFlag1 = bitAt(b1, 2);
        f.spareFlag2 = bitAt(b1, 3);
        f.rsv = bitsAt(b1, 4, 4);
        break;
    }
    // The 6716 family reads back neither DualDie nor Chip1Sel2 (both stay on),
    // nor Rsv and the Agand copies.
    f.DualDie = 1;
    f.Chip1Sel2 = 1;
    f.i2cPinSel = bitAt(b2, 0);
    if (v == CfgVariant::V6726) {
        f.eraseMode = bitAt(b2, 2);
    } else {
        f.HwEcc = bitAt(b2, 2);
        f.Ecc12 = bitAt(b2, 3);
        f.eraseMode = bitAt(b2, 4);
    }
}

const char* sizeMessage(CfgVariant variant)
{
    switch (variant) {
    case CfgVariant::V6706: return "sizeof FLASH_INFO 6706 is %d";
    case CfgVariant::V6716: return "sizeof FLASH_INFO 6716 is %d";
    case CfgVariant::V6716V31: return "sizeof FLASH_INFO_6716_V31 is %d";
    case CfgVariant::V6716V32: return "sizeof FLASH_INFO_6716_V32 is %d";
    case CfgVariant::V6726: return "sizeof FLASH_INFO_6726 is %d";
    case CfgVariant::V6605: return "sizeof FLASH_INFO 6605 is %d";
    }
    return "";
}

}  // namespace

int FlashCtrlLayout::length(CfgVariant variant)
{
    switch (variant) {
    case CfgVariant::V6706: return sizeof(FlashCtrl6706Record);
    case CfgVariant::V6716: return 50;
    case CfgVariant::V6716V31:
    case CfgVariant::V6716V32: return 54;
    case CfgVariant::V6726: return 55;
    case CfgVariant::V6605: return sizeof(FlashCtrlHeadRecord) + sizeof(FlashCtrl6605TailRecord);
    }
    return 0;
}

int FlashCtrlLayout::write(CfgVariant variant, const FlashCtrl& f, void* place)
{
    if (variant == CfgVariant::V6706) {
        return write6706(f, place);
    }
    FlashCtrlRecord r{};
    FlashCtrlHeadRecord& h = r.head;
    h.flags0 = bitOf(f.Bit16Flash, 0) | bitOf(f.Bit16Bus, 1);
    h.flags1 = flags1(variant, f);
    h.flags2 = flags2(variant, f);
    h.wPagesPerBlock.set(f.wPagesPerBlock);
    h.wPhyPagesPerBlock.set(f.wPhyPagesPerBlock);
    h.bSectorsPerPage = f.bSectorsPerPage;
    h.bBlockPerChipExp = f.bBlockPerChipExp;
    h.bPagePerBlockExp = f.bPagePerBlockExp;
    h.bSectorsPerBlockExp = f.bSectorsPerBlockExp;
    h.wValidSectorsPerBlock.set(f.wValidSectorsPerBlock);
    h.wValidPagesPerBlock.set(f.wValidPagesPerBlock);
    h.planes = planesByte(f);
    h.bSectPerChipMP = f.bSectPerChipMP;
    h.bSectPerChip = f.bSectPerChip;
    h.bSectPerInterleave = f.bSectPerInterleave;
    h.wRowInc2Plane.set(f.wRowInc2Plane);
    h.dwRowInc2Intlv.set(f.dwRowInc2Intlv);
    h.bRowInc2NextMP = f.bRowInc2NextMP;
    h.bEraseCnt = f.bEraseCnt;
    h.wEraseIncRowNum.set(f.wEraseIncRowNum);
    h.bIntlvRdCmd0 = f.bIntlvRdCmd0;
    h.bIntlvRdCmd1 = f.bIntlvRdCmd1;
    h.bColCyl = f.bColCyl;
    h.bRowCyl = f.bRowCyl;
    const bool fixedCycles = variant != CfgVariant::V6716 && variant != CfgVariant::V6605;
    h.bRd_CYCLE = fixedCycles ? kFixedCycle : f.bRd_CYCLE;
    h.bWr_CYCLE = fixedCycles ? kFixedCycle : f.bWr_CYCLE;
    h.bCacheProgramCmd = f.bCacheProgramCmd;
    h.bBankProgramCmd = f.bBankProgramCmd;
    h.bNextSentCmd = f.bNextSentCmd;
    if (variant == CfgVariant::V6605) {
        r.tail6605.bExtCfg0 = f.bExtCfg0;
        r.tail6605.bExtCfg1 = f.bExtCfg1;
        r.tail6605.bExtCfg2 = f.bExtCfg2;
        r.tail6605.b3V3OutCfg = f.b3V3OutCfg;
        r.tail6605.bExtCfg4 = f.bExtCfg4;
    } else {
        r.tail.bEccBits = f.bEccBits;
        r.tail.bFlashType = f.bFlashType;
        r.tail.bANA_CTL = f.bANA_CTL;
        r.tail.bANA_CTLB = f.bANA_CTLB;
        r.tail.bANA_CTLC = f.bANA_CTLC;
        r.tail.bANA_CTLD = f.bANA_CTLD;
        if (variant == CfgVariant::V6726) {
            r.tail.rest[0] = f.bEccDelay;
            r.tail.rest[1] = kTailConstant;
        } else {
            r.tail.rest[0] = kTailConstant;
        }
    }
    const int len = length(variant);
    std::memcpy(place, &r, len);
    CPLOG(7, sizeMessage(variant), len);
    return len;
}

int FlashCtrlLayout::read(CfgVariant variant, FlashCtrl& f, const void* place)
{
    if (variant == CfgVariant::V6706) {
        return read6706(f, place);
    }
    const int len = length(variant);
    FlashCtrlRecord r{};
    std::memcpy(&r, place, len);
    const FlashCtrlHeadRecord& h = r.head;
    f.Bit16Flash = bitAt(h.flags0, 0);
    f.Bit16Bus = bitAt(h.flags0, 1);
    readFlags(variant, f, h.flags1, h.flags2);
    f.wPagesPerBlock = h.wPagesPerBlock.get();
    if (variant == CfgVariant::V6605) {
        f.wPhyPagesPerBlock = h.wPhyPagesPerBlock.get();
    } else {
        // The 6716 family reads this word into the sectors per block as well.
        f.wSectorsPerBlock = h.wPhyPagesPerBlock.get();
        if (variant == CfgVariant::V6716) {
            f.wPhyPagesPerBlock = h.wPhyPagesPerBlock.get();
        }
    }
    f.bSectorsPerPage = h.bSectorsPerPage;
    f.bBlockPerChipExp = h.bBlockPerChipExp;
    f.bPagePerBlockExp = h.bPagePerBlockExp;
    f.bSectorsPerBlockExp = h.bSectorsPerBlockExp;
    f.wValidSectorsPerBlock = h.wValidSectorsPerBlock.get();
    f.wValidPagesPerBlock = h.wValidPagesPerBlock.get();
    readPlanesByte(f, h.planes);
    f.bSectPerChipMP = h.bSectPerChipMP;
    f.bSectPerChip = h.bSectPerChip;
    f.bSectPerInterleave = h.bSectPerInterleave;
    f.wRowInc2Plane = h.wRowInc2Plane.get();
    f.dwRowInc2Intlv = h.dwRowInc2Intlv.get();
    f.bRowInc2NextMP = h.bRowInc2NextMP;
    f.bEraseCnt = h.bEraseCnt;
    f.wEraseIncRowNum = h.wEraseIncRowNum.get();
    f.bIntlvRdCmd0 = h.bIntlvRdCmd0;
    f.bIntlvRdCmd1 = h.bIntlvRdCmd1;
    f.bColCyl = h.bColCyl;
    f.bRowCyl = h.bRowCyl;
    f.bRd_CYCLE = h.bRd_CYCLE;
    f.bWr_CYCLE = h.bWr_CYCLE;
    f.bCacheProgramCmd = h.bCacheProgramCmd;
    f.bBankProgramCmd = h.bBankProgramCmd;
    f.bNextSentCmd = h.bNextSentCmd;
    if (variant == CfgVariant::V6605) {
        f.bExtCfg0 = r.tail6605.bExtCfg0;
        f.bExtCfg1 = r.tail6605.bExtCfg1;
        f.bExtCfg2 = r.tail6605.bExtCfg2;
        f.b3V3OutCfg = r.tail6605.b3V3OutCfg;
        f.bExtCfg4 = r.tail6605.bExtCfg4;
    } else {
        f.bEccBits = r.tail.bEccBits;
        f.bFlashType = r.tail.bFlashType;
        f.bANA_CTL = r.tail.bANA_CTL;
        f.bANA_CTLB = r.tail.bANA_CTLB;
        f.bANA_CTLC = r.tail.bANA_CTLC;
        f.bANA_CTLD = r.tail.bANA_CTLD;
        if (variant == CfgVariant::V6726) {
            f.bEccDelay = r.tail.rest[0];
        }
    }
    CPLOG(7, sizeMessage(variant), len);
    return len;
}

int FlashCtrlLayout::write6706(const FlashCtrl& f, void* place)
{
    FlashCtrl6706Record r{};
    r.flags0 = bitOf(f.Bit16Flash, 0) | bitOf(f.Bit16Bus, 1) | bitOf(f.PhyCopyBack, 2) |
               bitOf(f.WriteErrCheck, 3) | bitOf(f.CopyBackErrCheck, 4) | bitOf(f.EccErrCheck, 5) |
               bitOf(f.DualChannel, 6) | bitOf(f.mlc_flash, 7);
    r.flags1 = bitOf(f.rsv, 0) | bitOf(f.DualDie, 1) | bitOf(f.Page4K, 2) | bitOf(f.EEPROMType, 3) |
               bitOf(f.NorType, 4) | bitOf(f.NandType, 5) | bitOf(f.NotChkTimeOut, 6) |
               bitOf(f.WriteDlyEnable, 7);
    r.flags2 = bitOf(f.i2cPinSel, 0) | bitOf(f.useFC_CYL2, 1) | bitOf(f.Chip1Sel2, 2) |
               bitOf(f.InterWaitReadyDis, 3) | bitsOf(f.Rsv, 4, 4);
    r.wPagesPerBlock.set(f.wPagesPerBlock);
    r.wSectorsPerBlock.set(f.wSectorsPerBlock);
    r.bSectorsPerPage = f.bSectorsPerPage;
    r.bBlockPerChipExp = f.bBlockPerChipExp;
    r.bPagePerBlockExp = f.bPagePerBlockExp;
    r.bSectorsPerBlockExp = f.bSectorsPerBlockExp;
    std::memcpy(r.bBlockSetSectorsPerPage, f.bBlockSetSectorsPerPage, FlashCtrl::kBlockSets);
    std::memcpy(r.bBlockSetStartSector, f.bBlockSetStartSector, FlashCtrl::kBlockSets);
    r.wValidSectorsPerBlock.set(f.wValidSectorsPerBlock);
    r.wValidPagesPerBlock.set(f.wValidPagesPerBlock);
    r.bStartSectorNo = f.bStartSectorNo;
    r.planes = planesByte(f) | bitOf(f.MultiPlaneOp, 7);
    r.bSectPerChipMP = f.bSectPerChipMP;
    r.bSectPerChip = f.bSectPerChip;
    r.bSectPerInterleave = f.bSectPerInterleave;
    r.wRowInc2Plane.set(static_cast<uint16_t>(f.wRowInc2Plane));
    r.dwRowInc2Intlv.set(f.dwRowInc2Intlv);
    r.bRowInc2NextMP = f.bRowInc2NextMP;
    r.bReadBanks = f.bReadBanks;
    r.bWriteBanks = f.bWriteBanks;
    r.bEraseBanks = f.bEraseBanks;
    r.bbEraseTimes = f.bbEraseTimes;
    r.bEraseIncAddr = f.bEraseIncAddr;
    r.bColCyl = f.bColCyl;
    r.bRowCyl = f.bRowCyl;
    r.bRd_CYCLE = f.bRd_CYCLE;
    r.bWr_CYCLE = f.bWr_CYCLE;
    r.bFc_CYL2 = f.bFc_CYL2;
    r.bANA_CTL = f.bANA_CTL;
    r.bANA_CTLB = f.bANA_CTLB;
    r.bANA_CTLC = f.bANA_CTLC;
    r.bANA_CTLD = f.bANA_CTLD;
    r.bEccBits = f.bEccBits;
    r.bCacheStatus = f.bCacheStatus;
    r.bProgramStatus = f.bProgramStatus;
    r.bEraseStatus = f.bEraseStatus;
    r.bCacheProgramCmd = f.bCacheProgramCmd;
    r.bBankProgramCmd = f.bBankProgramCmd;
    r.bFlashType = f.bFlashType;
    r.bIntlvRdCmd0 = f.bIntlvRdCmd0;
    r.bIntlvRdCmd1 = f.bIntlvRdCmd1;
    r.bTailRsv = f.bTailRsv;
    std::memcpy(place, &r, sizeof r);
    CPLOG(7, sizeMessage(CfgVariant::V6706), static_cast<int>(sizeof r));
    return sizeof r;
}

int FlashCtrlLayout::read6706(FlashCtrl& f, const void* place)
{
    FlashCtrl6706Record r;
    std::memcpy(&r, place, sizeof r);
    f.Bit16Flash = bitAt(r.flags0, 0);
    f.Bit16Bus = bitAt(r.flags0, 1);
    f.PhyCopyBack = bitAt(r.flags0, 2);
    f.WriteErrCheck = bitAt(r.flags0, 3);
    f.CopyBackErrCheck = bitAt(r.flags0, 4);
    f.EccErrCheck = bitAt(r.flags0, 5);
    f.DualChannel = bitAt(r.flags0, 6);
    f.mlc_flash = bitAt(r.flags0, 7);
    f.rsv = bitAt(r.flags1, 0);
    f.DualDie = bitAt(r.flags1, 1);
    f.Page4K = bitAt(r.flags1, 2);
    f.EEPROMType = bitAt(r.flags1, 3);
    f.NorType = bitAt(r.flags1, 4);
    f.NandType = bitAt(r.flags1, 5);
    f.NotChkTimeOut = bitAt(r.flags1, 6);
    f.WriteDlyEnable = bitAt(r.flags1, 7);
    f.i2cPinSel = bitAt(r.flags2, 0);
    f.useFC_CYL2 = bitAt(r.flags2, 1);
    f.Chip1Sel2 = bitAt(r.flags2, 2);
    f.InterWaitReadyDis = bitAt(r.flags2, 3);
    f.Rsv = bitsAt(r.flags2, 4, 4);
    f.wPagesPerBlock = r.wPagesPerBlock.get();
    f.wSectorsPerBlock = r.wSectorsPerBlock.get();
    f.bSectorsPerPage = r.bSectorsPerPage;
    f.bBlockPerChipExp = r.bBlockPerChipExp;
    f.bPagePerBlockExp = r.bPagePerBlockExp;
    f.bSectorsPerBlockExp = r.bSectorsPerBlockExp;
    std::memcpy(f.bBlockSetSectorsPerPage, r.bBlockSetSectorsPerPage, FlashCtrl::kBlockSets);
    std::memcpy(f.bBlockSetStartSector, r.bBlockSetStartSector, FlashCtrl::kBlockSets);
    f.wValidSectorsPerBlock = r.wValidSectorsPerBlock.get();
    f.wValidPagesPerBlock = r.wValidPagesPerBlock.get();
    f.bStartSectorNo = r.bStartSectorNo;
    readPlanesByte(f, r.planes);
    f.MultiPlaneOp = bitAt(r.planes, 7);
    f.bSectPerChipMP = r.bSectPerChipMP;
    f.bSectPerChip = r.bSectPerChip;
    f.bSectPerInterleave = r.bSectPerInterleave;
    f.wRowInc2Plane = r.wRowInc2Plane.get();
    f.dwRowInc2Intlv = r.dwRowInc2Intlv.get();
    f.bRowInc2NextMP = r.bRowInc2NextMP;
    f.bReadBanks = r.bReadBanks;
    f.bWriteBanks = r.bWriteBanks;
    f.bEraseBanks = r.bEraseBanks;
    f.bbEraseTimes = r.bbEraseTimes;
    f.bEraseIncAddr = r.bEraseIncAddr;
    f.bColCyl = r.bColCyl;
    f.bRowCyl = r.bRowCyl;
    f.bRd_CYCLE = r.bRd_CYCLE;
    f.bWr_CYCLE = r.bWr_CYCLE;
    f.bFc_CYL2 = r.bFc_CYL2;
    f.bANA_CTL = r.bANA_CTL;
    f.bANA_CTLB = r.bANA_CTLB;
    f.bANA_CTLC = r.bANA_CTLC;
    f.bANA_CTLD = r.bANA_CTLD;
    f.bEccBits = r.bEccBits;
    f.bCacheStatus = r.bCacheStatus;
    f.bProgramStatus = r.bProgramStatus;
    f.bEraseStatus = r.bEraseStatus;
    f.bCacheProgramCmd = r.bCacheProgramCmd;
    f.bBankProgramCmd = r.bBankProgramCmd;
    f.bFlashType = r.bFlashType;
    f.bIntlvRdCmd0 = r.bIntlvRdCmd0;
    f.bIntlvRdCmd1 = r.bIntlvRdCmd1;
    f.bTailRsv = r.bTailRsv;
    CPLOG(7, "sizeof FLASH_INFO 6706 reverseSerialize is %d", static_cast<int>(sizeof r));
    return sizeof r;
}

}  // namespace Tessor::usb
