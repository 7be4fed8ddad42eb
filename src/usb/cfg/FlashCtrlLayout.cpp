#include "usb/cfg/FlashCtrlLayout.h"

#include "usb/cfg/FieldTransfer.h"
#include "usb/cfg/RecordSizeLog.h"

namespace Tessor::usb {

namespace {

constexpr uint8_t kTailConstant = 3;
constexpr uint8_t kFixedCycle = 0x11;

// Each description below takes the direction `io` (PackFields or
// UnpackFields), the value struct (const when packing) and the record.

template <class Io, class Flash>
void planesByte(const Io& io, Flash& f, uint8_t& b)
{
    io.bits(b, f.MaxPlanes, 0, 3);
    io.bits(b, f.MaxInterleaves, 3, 2);
    io.bits(b, f.MaxChips, 5, 2);
}

template <class Io, class Flash>
void flags6605(const Io& io, Flash& f, FlashCtrlHeadRecord& h)
{
    io.bits(h.flags1, f.eraseMode, 0);
    io.bits(h.flags1, f.agandFlag, 1);
    io.bits(h.flags1, f.agandFlag2, 2);
    io.bits(h.flags1, f.Chip1Sel2, 4);
    io.bits(h.flags1, f.rsv, 5, 3);
    io.bits(h.flags2, f.HwEcc, 0);
    io.bits(h.flags2, f.Ecc12, 1);
    io.bits(h.flags2, f.spareFlag3, 2);
    io.bits(h.flags2, f.spareFlag4, 4);
    io.bits(h.flags2, f.Rsv, 5, 1);
    io.readsAs(f.DualDie, 0);  // the block has no such bit
}

// The 6716 family reads back neither DualDie nor Chip1Sel2 (both stay on),
// nor Rsv and the Agand copies.
template <class Io, class Flash>
void flags6716Family(const Io& io, Flash& f, FlashCtrlHeadRecord& h, CfgVariant v)
{
    io.writeOnlyBits(h.flags1, f.DualDie, 0);
    io.readsAs(f.DualDie, 1);
    io.bits(h.flags1, f.EEPROMType, 1);
    if (v == CfgVariant::V6716) {
        io.bits(h.flags1, f.rsv, 2, 6);
    } else {
        io.bits(h.flags1, f.spareFlag1, 2);
        io.bits(h.flags1, f.spareFlag2, 3);
        io.bits(h.flags1, f.rsv, 4, 4);
    }
    io.bits(h.flags2, f.i2cPinSel, 0);
    io.writeOnlyBits(h.flags2, f.Chip1Sel2, 1);
    io.readsAs(f.Chip1Sel2, 1);
    if (v == CfgVariant::V6726) {
        io.bits(h.flags2, f.eraseMode, 2);
        io.writeOnlyBits(h.flags2, f.agandFlag, 3);
        io.writeOnlyBits(h.flags2, f.agandFlag2, 4);
        io.writeOnlyBits(h.flags2, f.Rsv, 5, 3);
        return;
    }
    io.bits(h.flags2, f.HwEcc, 2);
    io.bits(h.flags2, f.Ecc12, 3);
    io.bits(h.flags2, f.eraseMode, 4);
    if (v != CfgVariant::V6716) {
        io.writeOnlyBits(h.flags2, f.agandFlag, 5);
        io.writeOnlyBits(h.flags2, f.agandFlag2, 6);
    }
    io.writeOnlyBits(h.flags2, f.Rsv, 7, 1);
}

template <class Io, class Flash>
void head(const Io& io, Flash& f, FlashCtrlHeadRecord& h, CfgVariant v)
{
    io.bits(h.flags0, f.Bit16Flash, 0);
    io.bits(h.flags0, f.Bit16Bus, 1);
    if (v == CfgVariant::V6605) {
        flags6605(io, f, h);
    } else {
        flags6716Family(io, f, h, v);
    }
    io.field(h.wPagesPerBlock, f.wPagesPerBlock);
    if (Io::packs || v == CfgVariant::V6605 || v == CfgVariant::V6716) {
        io.field(h.wPhyPagesPerBlock, f.wPhyPagesPerBlock);
    }
    if (v != CfgVariant::V6605) {
        // The 6716 family reads this word into the sectors per block as well.
        io.readsAs(f.wSectorsPerBlock, h.wPhyPagesPerBlock.get());
    }
    io.field(h.bSectorsPerPage, f.bSectorsPerPage);
    io.field(h.bBlockPerChipExp, f.bBlockPerChipExp);
    io.field(h.bPagePerBlockExp, f.bPagePerBlockExp);
    io.field(h.bSectorsPerBlockExp, f.bSectorsPerBlockExp);
    io.field(h.wValidSectorsPerBlock, f.wValidSectorsPerBlock);
    io.field(h.wValidPagesPerBlock, f.wValidPagesPerBlock);
    planesByte(io, f, h.planes);
    io.field(h.bSectPerChipMP, f.bSectPerChipMP);
    io.field(h.bSectPerChip, f.bSectPerChip);
    io.field(h.bSectPerInterleave, f.bSectPerInterleave);
    io.field(h.wRowInc2Plane, f.wRowInc2Plane);
    io.field(h.dwRowInc2Intlv, f.dwRowInc2Intlv);
    io.field(h.bRowInc2NextMP, f.bRowInc2NextMP);
    io.field(h.bEraseCnt, f.bEraseCnt);
    io.field(h.wEraseIncRowNum, f.wEraseIncRowNum);
    io.field(h.bIntlvRdCmd0, f.bIntlvRdCmd0);
    io.field(h.bIntlvRdCmd1, f.bIntlvRdCmd1);
    io.field(h.bColCyl, f.bColCyl);
    io.field(h.bRowCyl, f.bRowCyl);
    if (v == CfgVariant::V6716 || v == CfgVariant::V6605) {
        io.field(h.bRd_CYCLE, f.bRd_CYCLE);
        io.field(h.bWr_CYCLE, f.bWr_CYCLE);
    } else {
        // Written fixed, read back as found.
        io.writesAs(h.bRd_CYCLE, kFixedCycle);
        io.writesAs(h.bWr_CYCLE, kFixedCycle);
        io.readsAs(f.bRd_CYCLE, h.bRd_CYCLE);
        io.readsAs(f.bWr_CYCLE, h.bWr_CYCLE);
    }
    io.field(h.bCacheProgramCmd, f.bCacheProgramCmd);
    io.field(h.bBankProgramCmd, f.bBankProgramCmd);
    io.field(h.bNextSentCmd, f.bNextSentCmd);
}

template <class Io, class Flash>
void layout(const Io& io, Flash& f, FlashCtrlRecord& r, CfgVariant v)
{
    head(io, f, r.head, v);
    if (v == CfgVariant::V6605) {
        io.field(r.tail6605.bExtCfg0, f.bExtCfg0);
        io.field(r.tail6605.bExtCfg1, f.bExtCfg1);
        io.field(r.tail6605.bExtCfg2, f.bExtCfg2);
        io.field(r.tail6605.b3V3OutCfg, f.b3V3OutCfg);
        io.field(r.tail6605.bExtCfg4, f.bExtCfg4);
        return;
    }
    io.field(r.tail.bEccBits, f.bEccBits);
    io.field(r.tail.bFlashType, f.bFlashType);
    io.field(r.tail.bANA_CTL, f.bANA_CTL);
    io.field(r.tail.bANA_CTLB, f.bANA_CTLB);
    io.field(r.tail.bANA_CTLC, f.bANA_CTLC);
    io.field(r.tail.bANA_CTLD, f.bANA_CTLD);
    if (v == CfgVariant::V6726) {
        io.field(r.tail.rest[0], f.bEccDelay);
        io.writesAs(r.tail.rest[1], kTailConstant);
    } else {
        io.writesAs(r.tail.rest[0], kTailConstant);
    }
}

template <class Io, class Flash>
void layout(const Io& io, Flash& f, FlashCtrl6706Record& r, CfgVariant /*variant*/)
{
    io.bits(r.flags0, f.Bit16Flash, 0);
    io.bits(r.flags0, f.Bit16Bus, 1);
    io.bits(r.flags0, f.PhyCopyBack, 2);
    io.bits(r.flags0, f.WriteErrCheck, 3);
    io.bits(r.flags0, f.CopyBackErrCheck, 4);
    io.bits(r.flags0, f.EccErrCheck, 5);
    io.bits(r.flags0, f.DualChannel, 6);
    io.bits(r.flags0, f.mlc_flash, 7);
    io.bits(r.flags1, f.rsv, 0);
    io.bits(r.flags1, f.DualDie, 1);
    io.bits(r.flags1, f.Page4K, 2);
    io.bits(r.flags1, f.EEPROMType, 3);
    io.bits(r.flags1, f.NorType, 4);
    io.bits(r.flags1, f.NandType, 5);
    io.bits(r.flags1, f.NotChkTimeOut, 6);
    io.bits(r.flags1, f.WriteDlyEnable, 7);
    io.bits(r.flags2, f.i2cPinSel, 0);
    io.bits(r.flags2, f.useFC_CYL2, 1);
    io.bits(r.flags2, f.Chip1Sel2, 2);
    io.bits(r.flags2, f.InterWaitReadyDis, 3);
    io.bits(r.flags2, f.Rsv, 4, 4);
    io.field(r.wPagesPerBlock, f.wPagesPerBlock);
    io.field(r.wSectorsPerBlock, f.wSectorsPerBlock);
    io.field(r.bSectorsPerPage, f.bSectorsPerPage);
    io.field(r.bBlockPerChipExp, f.bBlockPerChipExp);
    io.field(r.bPagePerBlockExp, f.bPagePerBlockExp);
    io.field(r.bSectorsPerBlockExp, f.bSectorsPerBlockExp);
    io.field(r.bBlockSetSectorsPerPage, f.bBlockSetSectorsPerPage);
    io.field(r.bBlockSetStartSector, f.bBlockSetStartSector);
    io.field(r.wValidSectorsPerBlock, f.wValidSectorsPerBlock);
    io.field(r.wValidPagesPerBlock, f.wValidPagesPerBlock);
    io.field(r.bStartSectorNo, f.bStartSectorNo);
    planesByte(io, f, r.planes);
    io.bits(r.planes, f.MultiPlaneOp, 7);
    io.field(r.bSectPerChipMP, f.bSectPerChipMP);
    io.field(r.bSectPerChip, f.bSectPerChip);
    io.field(r.bSectPerInterleave, f.bSectPerInterleave);
    io.field(r.wRowInc2Plane, f.wRowInc2Plane);  // low 16 bits
    io.field(r.dwRowInc2Intlv, f.dwRowInc2Intlv);
    io.field(r.bRowInc2NextMP, f.bRowInc2NextMP);
    io.field(r.bReadBanks, f.bReadBanks);
    io.field(r.bWriteBanks, f.bWriteBanks);
    io.field(r.bEraseBanks, f.bEraseBanks);
    io.field(r.bbEraseTimes, f.bbEraseTimes);
    io.field(r.bEraseIncAddr, f.bEraseIncAddr);
    io.field(r.bColCyl, f.bColCyl);
    io.field(r.bRowCyl, f.bRowCyl);
    io.field(r.bRd_CYCLE, f.bRd_CYCLE);
    io.field(r.bWr_CYCLE, f.bWr_CYCLE);
    io.field(r.bFc_CYL2, f.bFc_CYL2);
    io.field(r.bANA_CTL, f.bANA_CTL);
    io.field(r.bANA_CTLB, f.bANA_CTLB);
    io.field(r.bANA_CTLC, f.bANA_CTLC);
    io.field(r.bANA_CTLD, f.bANA_CTLD);
    io.field(r.bEccBits, f.bEccBits);
    io.field(r.bCacheStatus, f.bCacheStatus);
    io.field(r.bProgramStatus, f.bProgramStatus);
    io.field(r.bEraseStatus, f.bEraseStatus);
    io.field(r.bCacheProgramCmd, f.bCacheProgramCmd);
    io.field(r.bBankProgramCmd, f.bBankProgramCmd);
    io.field(r.bFlashType, f.bFlashType);
    io.field(r.bIntlvRdCmd0, f.bIntlvRdCmd0);
    io.field(r.bIntlvRdCmd1, f.bIntlvRdCmd1);
    io.field(r.bTailRsv, f.bTailRsv);
}

template <class Io, class Flash, class Place>
int transfer(CfgVariant variant, const Io& io, Flash& f, Place* place)
{
    const auto describe = [&](auto& r) { layout(io, f, r, variant); };
    if (variant == CfgVariant::V6706) {
        return transferRecord<FlashCtrl6706Record>(io, place, describe);
    }
    return transferRecord<FlashCtrlRecord>(io, place, describe, FlashCtrlLayout::length(variant));
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
    return RecordSizeLog::logged("FLASH_INFO", variant, true, transfer(variant, PackFields{}, f, place));
}

int FlashCtrlLayout::read(CfgVariant variant, FlashCtrl& f, const void* place)
{
    return RecordSizeLog::logged("FLASH_INFO", variant, false, transfer(variant, UnpackFields{}, f, place));
}

}  // namespace Tessor::usb
