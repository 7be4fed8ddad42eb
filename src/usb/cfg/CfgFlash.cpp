#include "usb/cfg/CfgFlash.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/taval/Taval.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/EccRule.h"
#include "usb/cfg/FlashCtrlLayout.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/SetList.h"

namespace Tessor::usb {

using schema::SystemInfo;

namespace {

uint8_t exponentOf(unsigned n) { return static_cast<uint8_t>(getNumberInExp(n)); }

uint8_t lowByte(int32_t v) { return static_cast<uint8_t>(v); }

}  // namespace

CfgFlash::CfgFlash(CfgTable* table, const std::string& name, CfgVariant variant)
    : CfgDataItem(table, name), m_variant(variant)
{
    init();
}

CfgFlash::~CfgFlash() = default;

int CfgFlash::init()
{
    m_flash = FlashCtrl();
    if (m_variant == CfgVariant::V6706) {
        m_flash.wPagesPerBlock = m_flash.wValidPagesPerBlock = 128;
        m_flash.wSectorsPerBlock = m_flash.wValidSectorsPerBlock = 512;
        m_flash.bBlockPerChipExp = 11;
        m_flash.bPagePerBlockExp = 7;
        m_flash.bSectorsPerBlockExp = 9;
    }
    return 0;
}

int CfgFlash::serialize(void* place) { return FlashCtrlLayout::write(m_variant, m_flash, place); }

int CfgFlash::reverseSerialize(void* place) { return FlashCtrlLayout::read(m_variant, m_flash, place); }

int CfgFlash::update(schema::UsbDevice* device)
{
    updateBlockSet(device != nullptr ? Sptr<schema::BaseData>(device->getSetList()) : Sptr<schema::BaseData>());
    return 0;
}

Sptr<schema::DiskInfo> CfgFlash::getDiskInfo() const
{
    TESSOR_ASSERT(cfgTable != nullptr && cfgTable->getCodeCtrl());
    return Sptr<schema::DiskInfo>(new schema::DiskInfo(cfgTable->getCodeCtrl()->record().bCeCount,
                                                       1 << m_flash.bBlockPerChipExp, m_flash.wPagesPerBlock,
                                                       m_flash.bSectorsPerPage));
}

bool CfgFlash::describesFlash() const
{
    TESSOR_ASSERT(cfgTable != nullptr && cfgTable->getCodeCtrl());
    const int64_t chips = cfgTable->getCodeCtrl()->record().bCeCount;
    const int exponent = m_flash.bBlockPerChipExp;
    const int64_t pages = m_flash.wPagesPerBlock;
    const int64_t sectors = m_flash.bSectorsPerPage;
    constexpr int64_t kNamedBlocks = 0xFFFF + 2 * 0xFF + 1;  // a block field, two page offsets
    constexpr int64_t kNamedSectors = 0xFF;                   // a start sector
    const FlashCtrl& f = m_flash;
    const int64_t units =
        cfgTable->groupsRawAddresses() ? int64_t(f.MaxPlanes + 1) * (f.MaxInterleaves + 1) * (f.MaxChips + 1) : 1;
    return chips >= 1 && exponent < 31 && pages >= 1 && sectors >= 1 &&
           std::max(chips << exponent, kNamedBlocks) * units * pages * sectors + kNamedSectors + sectors <= INT_MAX;
}

// The chips are those of the geometry: a count one higher would make the
// device larger than the table describes.
Sptr<FlashInfo> CfgFlash::getFlashInfo() const
{
    Sptr<schema::DiskInfo> disk = getDiskInfo();
    Sptr<FlashInfo> flash(new FlashInfo());
    flash->setChipsPerDisk(disk->getChipsPerDisk());
    flash->setFlashId("Unknown");
    _FLASH_CHIP_INFO& chip = *flash->getChipInfo();
    chip = _FLASH_CHIP_INFO{};
    chip.BlockPerChip = disk->getBlocksPerChip();
    chip.PagePerBlock = disk->getPagesPerBlock();
    chip.SectorPerPage = disk->getSectorsPerPage();
    chip.SectorsPerBlock = disk->getPagesPerBlock() * disk->getSectorsPerPage();
    chip.SectorsPerChip = chip.SectorsPerBlock * disk->getBlocksPerChip();
    return flash;
}

int CfgFlash::updateBlockSet(Sptr<schema::BaseData> setList)
{
    FlashCtrl& f = m_flash;
    int count = 0;
    if (setList) {
        for (; count < setList->getCount() && count < FlashCtrl::kBlockSets; ++count) {
            Sptr<BlockSet> set = setList->getData(count);
            TESSOR_ASSERT(set);
            f.bBlockSetSectorsPerPage[count] = static_cast<uint8_t>(set->getSectorCount());
            f.bBlockSetStartSector[count] = static_cast<uint8_t>(set->getStartSector());
        }
        if (count == FlashCtrl::kBlockSets) {
            return count;
        }
    }
    std::fill(f.bBlockSetSectorsPerPage + count, f.bBlockSetSectorsPerPage + FlashCtrl::kBlockSets, 0);
    std::fill(f.bBlockSetStartSector + count, f.bBlockSetStartSector + FlashCtrl::kBlockSets, 0);
    if (setList) {
        f.bStartSectorNo = f.bBlockSetStartSector[0];
    }
    return count;
}

int CfgFlash::update4Scan(const CfgDeviceView& device, bool planeLayout)
{
    TESSOR_ASSERT(device.flash && device.disk && device.scan);
    m_diskInfo = device.disk;
    if (m_variant == CfgVariant::V6706) {
        update4Scan6706(device, planeLayout);
    } else if (m_variant == CfgVariant::V6605) {
        update4Scan6605(device, planeLayout);
    } else {
        update4Scan6716(device, planeLayout);
    }
    return 0;
}

void CfgFlash::update4Scan6706(const CfgDeviceView& device, bool planeLayout)
{
    const _FLASH_CHIP_INFO& chip = *device.flash->getChipInfo();
    const bool dualDie = device.flash->getDualDie();
    const bool dualChannel = device.flash->getDualChannel();
    FlashCtrl& f = m_flash;
    f.Bit16Bus = chip.BusWord != 0;
    f.PhyCopyBack = chip.PhysicalCopyBack != 0;
    f.NandType = chip.Agand != 0;
    f.NotChkTimeOut = lowByte(chip.FCWT);
    f.Chip1Sel2 = 1;
    f.bFlashType = lowByte(chip.FlashType);
    f.bReadBanks = lowByte(chip.ReadBanks);
    f.bWriteBanks = lowByte(chip.WriteBanks);
    f.bEraseBanks = lowByte(chip.EraseBanks);
    f.bbEraseTimes = lowByte(chip.EraseTimes);
    f.bColCyl = lowByte(chip.ColumnCycle);
    f.bRowCyl = lowByte(chip.RowCycle);
    f.bRd_CYCLE = lowByte(chip.Speed);
    f.bWr_CYCLE = lowByte(chip.Speed >> 8);
    f.bANA_CTLB = lowByte(chip.bANA_CTLB);
    f.bANA_CTLC = lowByte(chip.bANA_CTLC);
    f.bCacheStatus = lowByte(chip.CacheStatus);
    f.bProgramStatus = lowByte(chip.ProgramStatus);
    f.bEraseStatus = lowByte(chip.EraseStatus);
    f.bCacheProgramCmd = lowByte(chip.CacheProgramCommand);
    f.bEraseIncAddr = lowByte(chip.EraseIncPage);
    f.bEccBits = static_cast<uint8_t>(std::min(chip.ScanData, 7));

    f.bSectorsPerPage = lowByte(chip.SectorPerPage);
    f.wPagesPerBlock = f.wValidPagesPerBlock = static_cast<uint16_t>(chip.PagePerBlock);
    f.wSectorsPerBlock = f.wValidSectorsPerBlock = static_cast<uint16_t>(chip.PagePerBlock * chip.SectorPerPage);
    f.bSectPerChipMP = f.bSectPerChip = f.bSectPerInterleave = lowByte(chip.SectorPerPage);
    f.bSectorsPerBlockExp = exponentOf(f.wValidSectorsPerBlock);
    f.bPagePerBlockExp = exponentOf(f.wValidPagesPerBlock);
    f.bBlockPerChipExp = exponentOf(chip.BlockPerChip);

    f.DualDie = dualDie;
    f.DualChannel = 1;
    f.Page4K = !dualChannel;
    const int level = device.scan->getScanLevel();
    if (level != 0 && level != 3) {
        if (device.disk->getSectorsPerPage() <= 1) {
            f.DualChannel = 1;
            f.DualDie = 1;
            f.Page4K = f.Bit16Bus == 0;
        } else {
            f.DualDie = dualDie;
            f.Page4K = device.disk->getSectorsPerPage() == 8;
            f.MultiPlaneOp = 0;
            f.bBankProgramCmd = 0x11;
            f.DualChannel = f.Page4K ? 1 : dualChannel;
        }
    }
    f.DualDie = 1;
    if (!planeLayout) {
        f.DualChannel = 1;
        f.DualDie = dualDie;
        f.MultiPlaneOp = 0;
        f.Page4K = !dualChannel;
        f.bBankProgramCmd = lowByte(chip.BankProgramCommand);
    }
}

void CfgFlash::setSinglePlaneGeometry(const _FLASH_CHIP_INFO& chip)
{
    FlashCtrl& f = m_flash;
    f.wPagesPerBlock = f.wPhyPagesPerBlock = f.wValidPagesPerBlock = static_cast<uint16_t>(chip.PagePerBlock);
    f.bSectorsPerPage = lowByte(chip.SectorPerPage);
    f.wValidSectorsPerBlock = static_cast<uint16_t>(chip.SectorPerPage * chip.PagePerBlock);
    f.bIntlvRdCmd0 = lowByte(chip.IntlvRdcmd0);
    f.bIntlvRdCmd1 = lowByte(chip.IntlvRdcmd1);
    f.bSectorsPerBlockExp = exponentOf(f.wValidSectorsPerBlock);
    f.bPagePerBlockExp = exponentOf(f.wValidPagesPerBlock);
    f.bBlockPerChipExp = exponentOf(chip.BlockPerChip);
    setErrorCorrection(f.bSectorsPerPage, static_cast<uint32_t>(chip.ID));
}

void CfgFlash::setErrorCorrection(int sectorsPerPage, uint32_t flashId)
{
    const bool twelveBits = usesTwelveBitEcc(sectorsPerPage, flashId);
    m_flash.bEccBits = twelveBits ? 12 : 7;
    m_flash.Ecc12 = twelveBits ? 1 : 0;
}

// Single-plane fields from the profile, shared by the 6716 family and 6605.
void CfgFlash::setKeyedFields(const _FLASH_CHIP_INFO& chip)
{
    FlashCtrl& f = m_flash;
    f.MaxChips = f.MaxInterleaves = f.MaxPlanes = 0;
    f.bSectPerChipMP = f.bSectPerChip = f.bSectPerInterleave = lowByte(chip.SectorPerPage);
    f.dwRowInc2Intlv = static_cast<uint32_t>(chip.bRowlnc2lntlv);
    f.wRowInc2Plane = static_cast<uint32_t>(chip.bRowlnc2Plane);
    f.bRowInc2NextMP = lowByte(chip.bRowlnc2NxtPlane);
    f.bEraseCnt = lowByte(chip.bEraseCnt);
    f.wEraseIncRowNum = static_cast<uint16_t>(chip.wEraseIncRowNum);
    f.bColCyl = lowByte(chip.ColumnCycle);
    f.bRowCyl = lowByte(chip.RowCycle);
    f.bNextSentCmd = lowByte(chip.bNextSentCmd);
}

int CfgFlash::physicalPlaneFactor(const _FLASH_CHIP_INFO& chip) const
{
    const bool v3x = m_variant == CfgVariant::V6716V31 || m_variant == CfgVariant::V6716V32 ||
                     m_variant == CfgVariant::V6726;
    const bool singlePage = v3x ? chip.toshibaMp == 1 : chip.toshibaMp != 0;
    return singlePage ? 1 : 1 << chip.maxPlaneNum;
}

void CfgFlash::setMultiPlaneLayout(const _FLASH_CHIP_INFO& chip, int chips, int planeFactor)
{
    FlashCtrl& f = m_flash;
    const int planes = chip.maxPlaneNum + 1;
    const int interleaves = chip.maxIntlvNum + 1;
    const int n = planes * interleaves * chips;
    f.MaxChips = static_cast<uint8_t>(chips - 1);
    f.MaxInterleaves = lowByte(chip.maxIntlvNum);
    f.MaxPlanes = lowByte(chip.maxPlaneNum);
    f.bSectPerChipMP = static_cast<uint8_t>(n * chip.SectorPerPage);
    f.bSectPerChip = static_cast<uint8_t>(planes * interleaves * chip.SectorPerPage);
    f.bSectPerInterleave = static_cast<uint8_t>(planes * chip.SectorPerPage);
    f.wPagesPerBlock = static_cast<uint16_t>(chip.PagePerBlock);
    f.wSectorsPerBlock = static_cast<uint16_t>(planes * chip.SectorPerPage * chip.PagePerBlock);
    f.wPhyPagesPerBlock = static_cast<uint16_t>(chip.PagePerBlock * planeFactor);
    f.wValidPagesPerBlock = static_cast<uint16_t>(chip.PagePerBlock * n);
    f.wValidSectorsPerBlock = static_cast<uint16_t>(chip.SectorPerPage * chip.PagePerBlock * n);
    CPLOG(7, "wLogSectPerBlk = %d,MaxChips = %d,chipInfo->SectorsPerBlk = %d,MaxInterleaves=%d,MaxPlanes=%d",
          f.wValidSectorsPerBlock, f.MaxChips, chip.SectorsPerBlock, interleaves, planes);
    f.bPagePerBlockExp = exponentOf(f.wValidPagesPerBlock);
    f.bBlockPerChipExp = exponentOf(static_cast<unsigned>(chip.BlockPerChip / planes));
    f.bCacheProgramCmd = lowByte(chip.CacheProgramCommand);
    f.bBankProgramCmd = lowByte(chip.BankProgramCommand);
    f.bNextSentCmd = lowByte(chip.bNextSentCmd);
    f.dwRowInc2Intlv = static_cast<uint32_t>(chip.bRowlnc2lntlv);
    f.wRowInc2Plane = static_cast<uint32_t>(chip.bRowlnc2Plane);
    f.bRowInc2NextMP = lowByte(chip.bRowlnc2NxtPlane);
}

void CfgFlash::update4Scan6716(const CfgDeviceView& device, bool planeLayout)
{
    const _FLASH_CHIP_INFO& chip = *device.flash->getChipInfo();
    FlashCtrl& f = m_flash;
    f.Bit16Flash = f.Bit16Bus = chip.BusWidth == 16;
    const int level = device.scan->getScanLevel();
    if (level == 1 || level == 2) {
        f.DualDie = chip.SectorPerPage != 1;
    }
    f.EEPROMType = 0;
    f.HwEcc = 1;
    f.Chip1Sel2 = 1;
    f.i2cPinSel = 0;
    f.eraseMode = lowByte(chip.eraseMode);
    f.agandFlag = f.agandFlag2 = lowByte(chip.Agand);
    setSinglePlaneGeometry(chip);
    f.wSectorsPerBlock = f.wValidSectorsPerBlock;
    setKeyedFields(chip);
    f.bFlashType = lowByte(chip.FlashType);
    // Only 6716 runs at the probed scan speed; the later ones take the profile's.
    const int speed = m_variant == CfgVariant::V6716 ? device.scan->getScanSpeed() : chip.Speed;
    f.bRd_CYCLE = lowByte(speed);
    f.bWr_CYCLE = lowByte(speed >> 8);
    f.bANA_CTL = lowByte(chip.bANA_CTL);
    f.bANA_CTLB = lowByte(chip.bANA_CTLB);
    f.bANA_CTLC = lowByte(chip.bANA_CTLC);
    f.bANA_CTLD = lowByte(chip.bANA_CTLD);
    if (!planeLayout) {
        f.bBankProgramCmd = lowByte(chip.BankProgramCommand);
    }
    const int priority = device.scan->getScanPriority();
    if ((priority == 0 || priority == 1) && planeLayout) {
        setMultiPlaneLayout(chip, device.disk->getChipsPerDisk(), physicalPlaneFactor(chip));
    }
}

void CfgFlash::update4Scan6605(const CfgDeviceView& device, bool planeLayout)
{
    _FLASH_CHIP_INFO& chip = *device.flash->getChipInfo();
    // The measured speed goes to the profile record, where finish takes it.
    chip.Speed = device.scan->getScanSpeed();
    FlashCtrl& f = m_flash;
    f.Bit16Flash = f.Bit16Bus = chip.BusWidth == 16;
    const int level = device.scan->getScanLevel();
    if (level == 1 || level == 2) {
        f.DualDie = 0;
    }
    f.agandFlag = f.agandFlag2 = lowByte(chip.Agand);
    f.HwEcc = 1;
    f.Chip1Sel2 = 0;
    f.spareFlag3 = f.spareFlag4 = 0;
    setSinglePlaneGeometry(chip);
    setKeyedFields(chip);
    f.eraseMode = lowByte(chip.eraseMode);
    f.bRd_CYCLE = lowByte(device.scan->getScanSpeed());
    f.bWr_CYCLE = lowByte(device.scan->getScanSpeed() >> 8);
    f.bCacheProgramCmd = lowByte(chip.CacheProgramCommand);
    f.bBankProgramCmd = lowByte(chip.BankProgramCommand);
    f.bExtCfg0 = 0;
    f.bExtCfg1 = 1;
    f.bExtCfg2 = 0;
    TESSOR_ASSERT(device.settings);
    f.b3V3OutCfg = lowByte(device.settings->getVoltage());
    CPLOG(7, " Scan b3V3OutCfg  is %d", f.b3V3OutCfg);
    f.bExtCfg4 = 1;
    const int priority = device.scan->getScanPriority();
    if ((priority == 0 || priority == 3) && planeLayout) {
        setMultiPlaneLayout(chip, device.disk->getChipsPerDisk(), physicalPlaneFactor(chip));
    }
}

int CfgFlash::finish(const CfgDeviceView& device)
{
    TESSOR_ASSERT(device.flash && device.disk && device.plane && device.settings);
    const _FLASH_CHIP_INFO& chip = *device.flash->getChipInfo();
    const schema::DiskInfo& disk = *device.disk;
    FlashCtrl& f = m_flash;
    f.bEccBits = 7;
    if (chip.Speed != 0) {
        f.bRd_CYCLE = lowByte(chip.Speed);
        f.bWr_CYCLE = lowByte(chip.Speed >> 8);
    }
    if (disk.getSectorsPerPage() == 1) {
        f.Page4K = f.Bit16Bus == 0;
        f.DualDie = 0;
        f.bColCyl = 1;
        f.bRd_CYCLE = f.bWr_CYCLE = 0x22;
    } else {
        f.DualDie = 1;
        f.Page4K = chip.BusWord == 0;
    }
    f.b3V3OutCfg = lowByte(device.settings->getVoltage());
    CPLOG(7, " b3V3OutCfg  is %d", f.b3V3OutCfg);
    f.MultiPlaneOp = 0;
    f.MaxPlanes = 0;
    f.bBankProgramCmd = lowByte(chip.BankProgramCommand);

    f.wPagesPerBlock = f.wValidPagesPerBlock = static_cast<uint16_t>(disk.getPagesPerBlock());
    f.wSectorsPerBlock = f.wValidSectorsPerBlock = static_cast<uint16_t>(disk.getSectorsPerBlock());
    f.bSectorsPerPage = f.bSectPerChipMP = f.bSectPerChip = f.bSectPerInterleave =
        static_cast<uint8_t>(disk.getSectorsPerPage());
    f.bSectorsPerBlockExp = exponentOf(f.wValidSectorsPerBlock);
    f.bPagePerBlockExp = exponentOf(f.wValidPagesPerBlock);
    f.bBlockPerChipExp = exponentOf(static_cast<unsigned>(disk.getBlocksPerChip()));
    setErrorCorrection(disk.getSectorsPerPage(), static_cast<uint32_t>(chip.ID));
    f.bANA_CTLB = lowByte(chip.bANA_CTLB);

    if (device.settings->checkBlockMode() && device.plane->getTotalPlanes() > 1) {
        const int planes = chip.maxPlaneNum + 1;
        const int interleaves = chip.maxIntlvNum + 1;
        const int n = planes * interleaves * disk.getChipsPerDisk();
        const int planeFactor = chip.toshibaMp != 0 ? 1 : 1 << chip.maxPlaneNum;
        const schema::DiskInfo& itemDisk = m_diskInfo ? *m_diskInfo : disk;
        f.wPhyPagesPerBlock = static_cast<uint16_t>(chip.PagePerBlock * planeFactor);
        f.wValidSectorsPerBlock = static_cast<uint16_t>(chip.PagePerBlock * chip.SectorPerPage * n);
        f.wValidPagesPerBlock = static_cast<uint16_t>(chip.PagePerBlock * n);
        f.MaxPlanes = lowByte(chip.maxPlaneNum);
        f.MaxInterleaves = lowByte(chip.maxIntlvNum);
        f.MaxChips = static_cast<uint8_t>(itemDisk.getChipsPerDisk() - 1);
        f.bSectPerChipMP = static_cast<uint8_t>(chip.SectorPerPage * n);
        f.bSectPerChip = static_cast<uint8_t>(interleaves * planes * chip.SectorPerPage);
        f.bSectPerInterleave = static_cast<uint8_t>(planes * chip.SectorPerPage);
        f.bPagePerBlockExp = exponentOf(f.wValidPagesPerBlock);
        f.bSectorsPerBlockExp = exponentOf(f.wValidSectorsPerBlock);
    }
    updateBlockSet(device.setList);
    return 0;
}

void CfgFlash::debug()
{
    const FlashCtrl& f = m_flash;
    SystemInfo::debug("\tCfgFlash Info \n");
    const struct {
        const char* label;
        unsigned value;
    } lines[] = {
        {"Bit16Flash", f.Bit16Flash}, {"Bit16Bus", f.Bit16Bus}, {"PhyCopyBack", f.PhyCopyBack},
        {"WriteErrCheck", f.WriteErrCheck}, {"CopyBackErrCheck", f.CopyBackErrCheck},
        {"EccErrCheck", f.EccErrCheck}, {"DualChannel", f.DualChannel}, {"mlc_flash", f.mlc_flash},
        {"rsv", f.rsv}, {"DualDie", f.DualDie}, {"Page4K", f.Page4K}, {"EEPROMType", f.EEPROMType},
        {"NorType", f.NorType}, {"NandType", f.NandType}, {"NotChkTimeOut", f.NotChkTimeOut},
        {"WriteDlyEnable", f.WriteDlyEnable}, {"i2cPinSel", f.i2cPinSel}, {"useFC_CYL2", f.useFC_CYL2},
        {"Chip1Sel2", f.Chip1Sel2}, {"InterWaitReadyDis", f.InterWaitReadyDis}, {"HW ECC", f.HwEcc},
        {"ECC7 or 12", f.Ecc12 ? 12u : 7u}, {"eraseMode", f.eraseMode}, {"Rsv", f.Rsv},
        {"Pages Per Block", f.wPagesPerBlock}, {"Sectors Per Block", f.wSectorsPerBlock},
        {"Sectors Per Pages", f.bSectorsPerPage}, {"Block Per Chip(EXP)", f.bBlockPerChipExp},
        {"Page Per Block(EXP)", f.bPagePerBlockExp}, {"Sectors Per Block(EXP)", f.bSectorsPerBlockExp},
    };
    for (const auto& line : lines) {
        SystemInfo::debug("\t\t%s : %d \n", line.label, line.value);
    }
    if (m_variant == CfgVariant::V6706) {
        for (int i = 0; i < FlashCtrl::kBlockSets; ++i) {
            SystemInfo::debug("\t\t\tBlockSet %d :Sector Per Page %d; \tStart Sector : %d \n", i,
                              f.bBlockSetSectorsPerPage[i], f.bBlockSetStartSector[i]);
        }
    }
    const struct {
        const char* label;
        unsigned value;
    } tail[] = {
        {"Validate Sectors number every Block", f.wValidSectorsPerBlock},
        {"Validate pages number every Block", f.wValidPagesPerBlock}, {"Start Sector No", f.bStartSectorNo},
        {"MaxPlanes", f.MaxPlanes}, {"MaxInterleaves", f.MaxInterleaves}, {"MaxChips", f.MaxChips},
        {"MultiPlaneOp", f.MultiPlaneOp}, {"bSectPerChipMP", f.bSectPerChipMP}, {"bSectPerChip", f.bSectPerChip},
        {"bSectPerInterleave", f.bSectPerInterleave}, {"wRowInc2Plane", f.wRowInc2Plane},
        {"dwRowInc2Intlv", f.dwRowInc2Intlv}, {"bRowInc2NextMP", f.bRowInc2NextMP}, {"bReadBanks", f.bReadBanks},
        {"bWriteBanks", f.bWriteBanks}, {"bEraseBanks", f.bEraseBanks}, {"bbEraseTimes", f.bbEraseTimes},
        {"bEraseIncAddr", f.bEraseIncAddr}, {"bColCyl", f.bColCyl}, {"bRowCyl", f.bRowCyl},
        {"bRd_CYCLE", f.bRd_CYCLE}, {"bWr_CYCLE", f.bWr_CYCLE}, {"bFc_CYL2", f.bFc_CYL2},
        {"bEraseCnt", f.bEraseCnt}, {"wEraseIncRowNum", f.wEraseIncRowNum}, {"bEccDelay", f.bEccDelay},
    };
    for (const auto& line : tail) {
        SystemInfo::debug("\t\t%s : %d \n", line.label, line.value);
    }
}

}  // namespace Tessor::usb
