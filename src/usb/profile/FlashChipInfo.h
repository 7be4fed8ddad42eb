// The flash part record filled from the flash-chip table.
#pragma once

#include <cstdint>

namespace Tessor::usb {

#pragma pack(push, 4)
struct _FLASH_CHIP_INFO {
    char PartNumber[260];
    int32_t ID;
    int32_t FlashType;
    int32_t TLC;
    int32_t RealBlockPerChip;
    int32_t RealPagePerBlock;
    int32_t Density;
    int32_t BusWidth;
    int32_t DualDie;
    int32_t BusWord;
    int32_t Reserved0;
    int32_t EccSwitch;
    int32_t BlockPerChip;
    int32_t PagePerBlock;
    int32_t SectorPerPage;
    int32_t SectorsPerBlock;
    int32_t SectorsPerChip;
    int32_t ColumnCycle;
    int32_t RowCycle;
    int32_t AndCycle;
    int32_t Speed;
    int32_t CacheProgramCommand;
    int32_t ReadBanks;
    int32_t WriteBanks;
    int32_t EraseBanks;
    int32_t EraseTimes;
    int32_t BankProgramCommand;
    int32_t EraseIncPage;
    int32_t BlocksPerChip2;
    int32_t CacheStatus;
    int32_t ProgramStatus;
    int32_t EraseStatus;
    int32_t AmdNor;
    int32_t WriteDelay;
    int32_t ForeDataPosition;
    int32_t MarkBadPage;
    int32_t MarkBytePosition;
    int32_t ScanInitValue;
    int32_t ScanData;
    int32_t Reserved1;
    int32_t PhysicalCopyBack;
    int32_t Reserved2[7];
    int32_t PullUp_sel;
    int32_t Rref_sel;
    int32_t led_sel;
    int32_t bANA_CTLB;
    int32_t bANA_CTLC;
    int32_t Agand;
    int32_t IsMic;
    int32_t r5_low;
    int32_t CycleE2Type;
    int32_t Reserved3;
    int32_t bECC_CARE;
    int32_t bCBP_CARE;
    int32_t useFC_CYL2;
    int32_t i2cPinSel;
    int32_t BulidRpZone;
    int32_t SetError;
    int32_t Log2phy;
    int32_t Speedlow;
    int32_t ResetEnable;
    int32_t BootLoadEn;
    int32_t LogRdRstEn;
    int32_t LogWrRstEn;
    int32_t SpeedChgEn;
    int32_t Rand_enable;
    int32_t FCWT;
    int32_t SofCheckTime;
    int32_t SofErrNum;
    int32_t maxPlaneNum;
    int32_t maxIntlvNum;
    int32_t bRowlnc2Plane;
    int32_t bRowlnc2lntlv;
    int32_t bRowlnc2NxtPlane;
    int32_t NorSpecBlkAddr;
    int32_t IntlvRdcmd0;
    int32_t IntlvRdcmd1;
    int32_t MultiPlaneEn;
    int32_t ToshibaMultiPEN;
    int32_t bNextSentCmd;
    int32_t bEraseCnt;
    int32_t wEraseIncRowNum;
    int32_t toshibaMp;
    int32_t bANA_CTL;
    int32_t bANA_CTLD;
    int32_t eraseMode;
    int32_t blockMode;
    int32_t flagInRam;
};
#pragma pack(pop)

}  // namespace Tessor::usb
