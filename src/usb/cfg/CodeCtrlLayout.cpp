#include "usb/cfg/CodeCtrlLayout.h"

#include "usb/cfg/FieldTransfer.h"
#include "usb/cfg/RecordSizeLog.h"

namespace Tessor::usb {

namespace {

// Each description below takes the direction `io` (PackFields or
// UnpackFields), the value struct (const when packing) and the record.

template <class Io, class Ctrl>
void controlFlags(const Io& io, Ctrl& c, uint8_t& b)
{
    io.bits(b, c.speedLow, 0);
    io.bits(b, c.bootloadEn, 1);
    io.bits(b, c.CtrlFlags_rsv2, 2);
    io.bits(b, c.bSpeedChangeEn, 3);
    io.bits(b, c.pRstDisa, 4);
    io.bits(b, c.pLogRdRstDisa, 5);
    io.bits(b, c.pLogWrRstDisa, 6);
    io.bits(b, c.Rsv1, 7);
}

template <class Io, class Ctrl>
void sets(const Io& io, Ctrl& c, CodeCtrlSetsRecord& r)
{
    io.field(r.wPageTblBlkAddr, c.wPageTblBlkAddr);
    io.field(r.bPageTblValidPage, c.bPageTblValidPage);
    io.field(r.bSysStart2, c.bSysStart2);
    io.field(r.bSysCount2, c.bSysCount2);
    io.field(r.bFlagLenPerBlk, c.bFlagLenPerBlk);
    io.field(r.bBlksPerFlagSector, c.bBlksPerFlagSector);
    io.field(r.bBlockSetNum, c.bBlockSetNum);
    io.field(r.bSetStartSector, c.bSetStartSector);
    io.field(r.bSetSectorsPerPage, c.bSetSectorsPerPage);
    io.field(r.wSetBlocks, c.wSetBlocks);
    io.field(r.wSetPages, c.wSetPages);
    io.field(r.bCeCount, c.bCeCount);
    io.field(r.wTotalBlocks, c.wTotalBlocks);
}

// Bytes 0 to 12 of 6716 and the 149-byte layouts.
template <class Io, class Ctrl>
void head(const Io& io, Ctrl& c, CodeCtrlHeadRecord& r)
{
    controlFlags(io, c, r.flags0);
    io.bits(r.flags1, c.log2phyLogRW, 0);
    io.bits(r.flags1, c.rand_en, 1);
    io.bits(r.flags1, c.blockModeFlags, 2, 2);
    io.bits(r.flags1, c.Rsv2, 4, 4);
    io.field(r.bPramUse, c.bPramUse);
    io.field(r.bSofCheckIntvTime, c.bSofCheckIntvTime);
    io.field(r.bSofErrNum, c.bSofErrNum);
    io.field(r.bLEDOnOff, c.bLEDOnOff);
    io.field(r.bLEDFreqc, c.bLEDFreqc);
    io.field(r.bSectorsPerCode, c.bSectorsPerCode);
    io.field(r.bPagesPerCode, c.bPagesPerCode);
    io.field(r.bCfgTblCe, c.bCfgTblCe);
    io.field(r.wCfgTblBlkAddr, c.wCfgTblBlkAddr);
    io.field(r.bCfgTblPage, c.bCfgTblPage);
}

// The start and count copies are read back too: a table rebuilt from a
// device's sector and written again keeps what the allocation wrote.
template <class Io, class Ctrl>
void system(const Io& io, Ctrl& c, CodeCtrlSystemRecord& r)
{
    io.field(r.bFlagTblPage, c.bFlagTblPage);
    io.field(r.bSysStart0, c.bSysStart0);
    io.field(r.bSysStart1, c.bSysStart1);
    io.field(r.bSysCount1, c.bSysCount1);
    io.field(r.bFlagBitmapLen, c.bFlagBitmapLen);
    sets(io, c, r.sets);
}

template <class Io, class Ctrl, size_t N>
void shortExtCodes(const Io& io, Ctrl& c, uint8_t (&low)[N])
{
    for (size_t i = 0; i < N; ++i) {
        io.field(low[i], c.wExtCodePage[i]);
    }
}

template <class Io, class Ctrl>
void layout(const Io& io, Ctrl& c, CodeCtrl6706Record& r)
{
    controlFlags(io, c, r.flags0);
    io.bits(r.flags1, c.buildReplaceZoneEn, 0);
    io.bits(r.flags1, c.setError, 1);
    io.bits(r.flags1, c.log2phyLogRW, 2);
    io.bits(r.flags1, c.rand_en, 3);
    io.bits(r.flags1, c.zone128, 4);
    io.bits(r.flags1, c.Rsv2, 5, 3);
    io.field(r.bPramUse, c.bPramUse);
    io.field(r.bSofCheckIntvTime, c.bSofCheckIntvTime);
    io.field(r.bSofErrNum, c.bSofErrNum);
    io.field(r.bLEDOnOff, c.bLEDOnOff);
    io.field(r.bLEDFreqc, c.bLEDFreqc);
    io.field(r.wCfgTblBlkAddr, c.wCfgTblBlkAddr);
    io.field(r.bCfgTblPage, c.bCfgTblPage);
    io.field(r.bFlagTblPage, c.bFlagTblPage);
    shortExtCodes(io, c, r.extCodeLow);
    io.field(r.bPagesPerCode, c.bPagesPerCode);
    io.field(r.bSectorsPerCode, c.bSectorsPerCode);
    io.field(r.bPageTblValidPage, c.bPageTblValidPage);
    io.field(r.wPageTblBlkAddr, c.wPageTblBlkAddr);
    io.field(r.bFlagLenPerBlk, c.bFlagLenPerBlk);
    io.field(r.bBlksPerFlagSector, c.bBlksPerFlagSector);
    io.field(r.bFlagBitmapLen, c.bFlagBitmapLen);
    io.field(r.bCeCount, c.bCeCount);
    io.field(r.wTotalBlocks, c.wTotalBlocks);
    io.field(r.bBlockSetNum, c.bBlockSetNum);
    io.field(r.wSetBlocks, c.wSetBlocks);
    io.field(r.wSetPages, c.wSetPages);
    io.field(r.PhotoEn, c.PhotoEn);
}

template <class Io, class Ctrl>
void layout(const Io& io, Ctrl& c, CodeCtrl6716Record& r)
{
    head(io, c, r.head);
    shortExtCodes(io, c, r.extCodeLow);
    system(io, c, r.system);
    io.readsAs(c.PhotoEn, r.zero[0]);
}

template <class Io, class Ctrl>
void layout(const Io& io, Ctrl& c, CodeCtrl149Record& r)
{
    head(io, c, r.head);
    for (int k = 0; k < CodeCtrl::kExtCodePages; ++k) {
        if constexpr (Io::packs) {
            r.extCodeLow[k] = static_cast<uint8_t>(c.wExtCodePage[k]);
            r.extCodeHigh[k / 4] |= bitsOf(c.wExtCodePage[k] >> 8, 2 * (k % 4), 2);
        } else {
            c.wExtCodePage[k] = static_cast<uint16_t>(
                r.extCodeLow[k] | (bitsAt(r.extCodeHigh[k / 4], 2 * (k % 4), 2) << 8));
        }
    }
    system(io, c, r.system);
    io.field(r.PhotoEn, c.PhotoEn);
    io.field(r.bFlashMode, c.bFlashMode);
}

template <class Io, class Ctrl>
void layout(const Io& io, Ctrl& c, CodeCtrl6605Record& r)
{
    io.bits(r.flags0, c.speedLow, 0);
    io.bits(r.flags0, c.bootloadEn, 1);
    io.bits(r.flags0, c.bSpeedChangeEn, 2);
    io.bits(r.flags0, c.pRstDisa, 3);
    io.bits(r.flags0, c.pLogRdRstDisa, 4);
    io.bits(r.flags0, c.pLogWrRstDisa, 5);
    io.bits(r.flags0, c.Rsv1, 6, 2);
    io.bits(r.flags1, c.bScanCfg, 0);
    io.bits(r.flags1, c.blockModeFlags, 1, 2);
    io.bits(r.flags1, c.log2phyLogRW, 3);
    io.bits(r.flags1, c.Rsv2, 4, 4);
    io.field(r.bSofCheckIntvTime, c.bSofCheckIntvTime);
    io.field(r.bSofErrNum, c.bSofErrNum);
    io.field(r.bSectorsPerCode, c.bSectorsPerCode);
    io.field(r.bPagesPerCode, c.bPagesPerCode);
    io.field(r.bCfgTblCe, c.bCfgTblCe);
    io.field(r.wCfgTblBlkAddr, c.wCfgTblBlkAddr);
    io.field(r.bCfgTblPage, c.bCfgTblPage);
    io.field(r.bSysStart0, c.bSysStart0);
    io.field(r.bFlagTblPage, c.bFlagTblPage);
    io.field(r.bExtCodeIndexPage, c.bExtCodeIndexPage);
    io.field(r.bSysStart1, c.bSysStart1);
    io.field(r.bSysCount1, c.bSysCount1);
    io.field(r.wLenOf16BlkPagFlg, c.wLenOf16BlkPagFlg);
    sets(io, c, r.sets);
    io.field(r.bFlashMode, c.bFlashMode);
    io.field(r.dwReserved, c.dwReserved);
}

template <class Io, class Ctrl, class Place>
int transfer(CfgVariant variant, const Io& io, Ctrl& c, Place* place)
{
    const auto describe = [&](auto& r) { layout(io, c, r); };
    switch (variant) {
    case CfgVariant::V6706: return transferRecord<CodeCtrl6706Record>(io, place, describe);
    case CfgVariant::V6716: return transferRecord<CodeCtrl6716Record>(io, place, describe);
    case CfgVariant::V6716V31:
    case CfgVariant::V6716V32:
    case CfgVariant::V6726: return transferRecord<CodeCtrl149Record>(io, place, describe);
    case CfgVariant::V6605: return transferRecord<CodeCtrl6605Record>(io, place, describe);
    }
    return 0;
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

int CodeCtrlLayout::codePageEntries(CfgVariant variant)
{
    switch (variant) {
    case CfgVariant::V6706: return sizeof CodeCtrl6706Record::extCodeLow;
    case CfgVariant::V6716: return sizeof CodeCtrl6716Record::extCodeLow;
    case CfgVariant::V6716V31:
    case CfgVariant::V6716V32:
    case CfgVariant::V6726: return sizeof CodeCtrl149Record::extCodeLow;
    case CfgVariant::V6605: return 0;
    }
    return 0;
}

int CodeCtrlLayout::write(CfgVariant variant, const CodeCtrl& ctrl, void* place)
{
    return RecordSizeLog::logged("CODE_CTRL", variant, true, transfer(variant, PackFields{}, ctrl, place));
}

int CodeCtrlLayout::read(CfgVariant variant, CodeCtrl& ctrl, const void* place)
{
    return RecordSizeLog::logged("CODE_CTRL", variant, false, transfer(variant, UnpackFields{}, ctrl, place));
}

}  // namespace Tessor::usb
