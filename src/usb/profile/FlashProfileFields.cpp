#include "usb/profile/FlashProfileFields.h"

#include <cstddef>

#include "usb/profile/FlashChipInfo.h"

namespace Tessor::usb {

namespace {

using Tessor::schema::PROFILE_INT;
using Tessor::schema::PROFILE_STRING;

#define FLASH_INT(key) {#key, offsetof(_FLASH_CHIP_INFO, key), PROFILE_INT, 4}

const Tessor::schema::profile_entry_t entries[] = {
    {"PartNumber", offsetof(_FLASH_CHIP_INFO, PartNumber), PROFILE_STRING, 260},
    FLASH_INT(FlashType),
    FLASH_INT(Density),
    FLASH_INT(BusWidth),
    FLASH_INT(DualDie),
    FLASH_INT(BlockPerChip),
    FLASH_INT(PagePerBlock),
    FLASH_INT(SectorPerPage),
    FLASH_INT(ColumnCycle),
    FLASH_INT(RowCycle),
    FLASH_INT(AndCycle),
    FLASH_INT(Speed),
    FLASH_INT(CacheProgramCommand),
    FLASH_INT(ReadBanks),
    FLASH_INT(WriteBanks),
    FLASH_INT(EraseBanks),
    FLASH_INT(EraseTimes),
    FLASH_INT(BankProgramCommand),
    FLASH_INT(EraseIncPage),
    FLASH_INT(BlocksPerChip2),
    FLASH_INT(CacheStatus),
    FLASH_INT(ProgramStatus),
    FLASH_INT(EraseStatus),
    FLASH_INT(PhysicalCopyBack),
    FLASH_INT(AmdNor),
    FLASH_INT(WriteDelay),
    FLASH_INT(ForeDataPosition),
    FLASH_INT(MarkBadPage),
    FLASH_INT(MarkBytePosition),
    FLASH_INT(ScanInitValue),
    FLASH_INT(ScanData),
    FLASH_INT(NorSpecBlkAddr),
    FLASH_INT(PullUp_sel),
    FLASH_INT(Rref_sel),
    FLASH_INT(led_sel),
    FLASH_INT(bANA_CTLB),
    FLASH_INT(bANA_CTLC),
    FLASH_INT(Agand),
    FLASH_INT(IsMic),
    FLASH_INT(r5_low),
    FLASH_INT(CycleE2Type),
    FLASH_INT(bECC_CARE),
    FLASH_INT(bCBP_CARE),
    FLASH_INT(useFC_CYL2),
    FLASH_INT(i2cPinSel),
    FLASH_INT(BulidRpZone),
    FLASH_INT(SetError),
    FLASH_INT(Log2phy),
    FLASH_INT(Speedlow),
    FLASH_INT(ResetEnable),
    FLASH_INT(BootLoadEn),
    FLASH_INT(LogRdRstEn),
    FLASH_INT(LogWrRstEn),
    FLASH_INT(SpeedChgEn),
    FLASH_INT(Rand_enable),
    FLASH_INT(FCWT),
    FLASH_INT(SofCheckTime),
    FLASH_INT(SofErrNum),
    FLASH_INT(maxPlaneNum),
    FLASH_INT(maxIntlvNum),
    FLASH_INT(bRowlnc2Plane),
    FLASH_INT(bRowlnc2lntlv),
    FLASH_INT(bRowlnc2NxtPlane),
    FLASH_INT(IntlvRdcmd0),
    FLASH_INT(IntlvRdcmd1),
    FLASH_INT(MultiPlaneEn),
    FLASH_INT(ToshibaMultiPEN),
    FLASH_INT(bNextSentCmd),
    FLASH_INT(bEraseCnt),
    FLASH_INT(wEraseIncRowNum),
    FLASH_INT(toshibaMp),
    FLASH_INT(bANA_CTL),
    FLASH_INT(bANA_CTLD),
    FLASH_INT(eraseMode),
    FLASH_INT(blockMode),
    FLASH_INT(flagInRam),
};

}  // namespace

const Tessor::schema::profile_t FlashProfileFields = {static_cast<int>(sizeof entries / sizeof entries[0]), entries};

const wchar_t* const FlashProfileKeys[FLASH_PROFILE_KEY_COUNT] = {
    L"FlashType", L"BusWidth", L"DualDie", L"BlockPerChip", L"PagePerBlock", L"SectorPerPage",
    L"ColumnCycle", L"RowCycle", L"AndCycle", L"Speed", L"CacheProgramCommand", L"ReadBanks",
    L"WriteBanks", L"EraseBanks", L"EraseTimes", L"BankProgramCommand", L"EraseIncPage", L"CacheStatus",
    L"ProgramStatus", L"EraseStatus", L"PhysicalCopyBack", L"AmdNor", L"WriteDelay", L"BlockPerScan",
    L"ScanInitValue", L"ForeDataPosition", L"JumpPage", L"ScanData", L"MarkBadPage", L"MarkBytePosition",
    L"PullUp_sel", L"Rref_sel", L"led_sel", L"bANA_CTLB", L"bANA_CTLC", L"Agand",
    L"IsMic", L"r5_low", L"2CycleE2Type", L"bWRE_CARE", L"bECC_CARE", L"bCBP_CARE",
    L"useFC_CYL2", L"i2cPinSel", L"BulidRpZone", L"SetError", L"Log2phy", L"Speedlow",
    L"ResetEnable", L"BootLoadEn", L"LogRdRstEn", L"LogWrRstEn", L"SpeedChgEn", L"Rand_enable",
    L"FCWT", L"GoodBlkValue", L"SofCheckTime", L"SofErrNum", L"maxPlaneNum", L"maxIntlvNum",
    L"bRowlnc2Plane", L"bRowlnc2lntlv", L"bRowlnc2NxtPlane", L"dwExtJmpMap", L"IntlvRdcmd0", L"IntlvRdcmd1",
    L"MultiPlaneEn", L"bANA_CTLD", L"bNextSentCmd", L"bEraseCnt", L"wEraseIncRowNum", L"bANA_CTL",
    L"eraseMode", L"toshibaMp",
};

}  // namespace Tessor::usb
