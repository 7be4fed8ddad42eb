#include "usb/cfg/CfgCode.h"

#include <algorithm>

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/BuildInfo.h"
#include "usb/cfg/CodeCtrlLayout.h"
#include "usb/cfg/EccRule.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/SetList.h"

namespace Tessor::usb {

using schema::BaseAddress;
using schema::SystemInfo;

namespace {

constexpr uint8_t kLedOff = 0x20;
constexpr uint8_t kLedFrequencies[] = {0xEC, 0x76, 0x51, 0x3B, 0x30, 0x24};
constexpr uint16_t kNoPage = 0xFFFF;
constexpr int kFlagSectorBytes = 512;

uint8_t lowByte(int32_t v) { return static_cast<uint8_t>(v); }

int planeFactor(const FlashCtrl& flash)
{
    return (flash.MaxPlanes + 1) * (flash.MaxInterleaves + 1) * (flash.MaxChips + 1);
}

}  // namespace

CfgCode::CfgCode(CfgTable* table, const std::string& name, CfgVariant variant)
    : CfgDataItem(table, name), m_variant(variant)
{
    init();
}

CfgCode::~CfgCode() = default;

uint8_t CfgCode::sectorsPerCode() const
{
    switch (m_variant) {
    case CfgVariant::V6706: return 5;
    case CfgVariant::V6605: return 32;
    default: return 8;
    }
}

int CfgCode::init()
{
    m_code = CodeCtrl();
    m_code.bSectorsPerCode = sectorsPerCode();
    return 0;
}

int CfgCode::serialize(void* place) { return CodeCtrlLayout::write(m_variant, m_code, place); }

int CfgCode::reverseSerialize(void* place) { return CodeCtrlLayout::read(m_variant, m_code, place); }

int CfgCode::update(schema::UsbDevice* device)
{
    updateBlockSet(device != nullptr ? Sptr<schema::BaseData>(device->getSetList()) : Sptr<schema::BaseData>());
    return 0;
}

int CfgCode::updateBlockSet(Sptr<schema::BaseData> setList)
{
    CodeCtrl& c = m_code;
    const int sets = setList ? setList->getCount() : 0;
    const int count = std::min(sets, CodeCtrl::kBlockSets);
    for (int i = 0; i < count; ++i) {
        Sptr<BlockSet> set = setList->getData(i);
        TESSOR_ASSERT(set);
        c.wSetBlocks[i] = static_cast<uint16_t>(set->getBlocksCount());
        c.wSetPages[i] = static_cast<uint16_t>(set->getPagesCountEveryBlock());
        c.bSetSectorsPerPage[i] = static_cast<uint8_t>(set->getSectorCount());
        c.bSetStartSector[i] = static_cast<uint8_t>(set->getStartSector());
    }
    for (int i = count; i < CodeCtrl::kBlockSets; ++i) {
        c.wSetBlocks[i] = c.wSetPages[i] = 0;
        c.bSetSectorsPerPage[i] = c.bSetStartSector[i] = 0;
    }
    // Without a set list the count stays as the scan table left it.
    if (sets > 0) {
        c.bBlockSetNum = static_cast<uint8_t>(count);
    }
    return count;
}

// Flag-table geometry of the scan table: one flag bit per page.
void CfgCode::setFlagGeometry(int pagesPerBlock)
{
    const int n = std::max(pagesPerBlock / 8, 1);
    m_code.bFlagLenPerBlk = static_cast<uint8_t>(n);
    m_code.bFlagBitmapLen = static_cast<uint8_t>(16 * n);
    m_code.bBlksPerFlagSector = static_cast<uint8_t>(kFlagSectorBytes / n);
}

// The later controllers count the flag sector in blocks per page bits.
void CfgCode::setFlagTableSteps(int pagesPerBlock)
{
    m_code.bFlagLenPerBlk = static_cast<uint8_t>(pagesPerBlock / 8);
    m_code.bBlksPerFlagSector = static_cast<uint8_t>(kFlagSectorBytes / std::max(pagesPerBlock, 1) * 8);
}

// The switches of the later controllers: from the flash profile, the rest fixed.
void CfgCode::setControlSwitches(const _FLASH_CHIP_INFO& chip)
{
    CodeCtrl& c = m_code;
    c.speedLow = lowByte(chip.Speedlow);
    c.bootloadEn = lowByte(chip.BootLoadEn);
    c.bSpeedChangeEn = lowByte(chip.SpeedChgEn);
    c.pRstDisa = lowByte(chip.ResetEnable);
    c.pLogRdRstDisa = lowByte(chip.LogRdRstEn);
    c.pLogWrRstDisa = lowByte(chip.LogWrRstEn);
    c.blockModeFlags = 0;
    c.bSofCheckIntvTime = lowByte(chip.SofCheckTime);
    c.bSofErrNum = lowByte(chip.SofErrNum);
    c.bPramUse = 5;
    c.bLEDFreqc = 0x30;
    c.bLEDOnOff = 0;
    c.PhotoEn = 0;
}

int CfgCode::update4Scan(const CfgDeviceView& device, const FlashCtrl& flashItem, bool flag)
{
    TESSOR_ASSERT(device.flash && device.disk && device.scan);
    m_diskInfo = device.disk;
    if (m_variant == CfgVariant::V6706) {
        update4Scan6706(device, flag);
    } else if (m_variant == CfgVariant::V6605) {
        update4Scan6605(device, flashItem, flag);
    } else {
        update4Scan6716(device, flashItem, flag);
    }
    return 0;
}

void CfgCode::update4Scan6706(const CfgDeviceView& device, bool flag)
{
    const _FLASH_CHIP_INFO& chip = *device.flash->getChipInfo();
    CodeCtrl& c = m_code;
    c.rand_en = chip.Rand_enable != 0;
    setFlagGeometry(chip.PagePerBlock);
    const int chips = device.flash->getChipsPerDisk();
    c.bCeCount = static_cast<uint8_t>(chips);
    c.wTotalBlocks = static_cast<uint16_t>(chip.BlockPerChip * chips);
    c.bBlockSetNum = 1;
    const int level = device.scan->getScanLevel();
    const bool shortCode = level == 3 || level == 0 || device.disk->getSectorsPerPage() < 2;
    c.bSectorsPerCode = shortCode || !flag ? 5 : 8;
}

void CfgCode::update4Scan6716(const CfgDeviceView& device, const FlashCtrl& flashItem, bool flag)
{
    const _FLASH_CHIP_INFO& chip = *device.flash->getChipInfo();
    CodeCtrl& c = m_code;
    c.bSectorsPerCode = 8;
    setFlagGeometry(chip.PagePerBlock);
    const int chips = device.disk->getChipsPerDisk();
    c.bCeCount = static_cast<uint8_t>(chips);
    c.wTotalBlocks = static_cast<uint16_t>(static_cast<uint8_t>(chips) * device.disk->getBlocksPerChip());
    c.log2phyLogRW = flashItem.MaxChips >= 2 || flashItem.MaxInterleaves >= 2 ? 0 : 1;
    c.rand_en = lowByte(chip.Rand_enable);
    setControlSwitches(chip);
    const int priority = device.scan->getScanPriority();
    if ((priority == 1 || priority == 0) && flag) {
        c.bCeCount = 1;
        c.wTotalBlocks = static_cast<uint16_t>(chips * device.disk->getBlocksPerChip() / planeFactor(flashItem));
    }
    c.bCfgTblCe = 0;
    c.bBlockSetNum = 0;
    setFlagTableSteps(chip.PagePerBlock);
    if (!flag) {
        c.bPagesPerCode = 2;
    }
}

void CfgCode::update4Scan6605(const CfgDeviceView& device, const FlashCtrl& flashItem, bool flag)
{
    const _FLASH_CHIP_INFO& chip = *device.flash->getChipInfo();
    CodeCtrl& c = m_code;
    setControlSwitches(chip);
    c.bScanCfg = 1;
    c.log2phyLogRW = 0;
    c.bSectorsPerCode = 32;
    setFlagGeometry(chip.PagePerBlock);
    const int chips = device.disk->getChipsPerDisk();
    const int blocks = chips * device.disk->getBlocksPerChip();
    const int priority = device.scan->getScanPriority();
    if ((priority == 3 || priority == 0) && flag) {
        c.bCeCount = 1;
        c.wTotalBlocks = static_cast<uint16_t>(blocks / planeFactor(flashItem));
    } else {
        c.bCeCount = static_cast<uint8_t>(chips);
        c.wTotalBlocks = static_cast<uint16_t>(blocks);
    }
    c.bCfgTblCe = 0;
    c.bBlockSetNum = 0;
    setFlagTableSteps(chip.PagePerBlock);
    if (!flag) {
        c.bPagesPerCode = 8;
    }
}

void CfgCode::storeCodePages(int first, int count, Sptr<BaseAddress> pages, const BaseAddress& table,
                             int pagesPerBlock, const char* missing)
{
    for (int i = 0; i < count; ++i) {
        Sptr<BaseAddress> page = pages ? Sptr<BaseAddress>(pages->getData(i)) : Sptr<BaseAddress>();
        if (!page) {
            CPLOG(3, missing, i, count);
            TESSOR_ASSERT(false);
        }
        if (first + i >= CodeCtrl::kExtCodePages) {
            CPLOG(3, "%s: code page %d has no entry, the record holds %d", getName(), first + i,
                  CodeCtrl::kExtCodePages);
            return;
        }
        m_code.wExtCodePage[first + i] =
            static_cast<uint16_t>((page->getBlockNo() - table.getBlockNo()) * pagesPerBlock + page->getPageNo());
    }
}

// One entry per change of block; a page bitmap spread over more than the 16
// entries is logged rather than written past them.
void CfgCode::storePageBitmapBlocks(Sptr<BaseAddress> pages, int count)
{
    int entries = 0;
    int previous = -1;
    for (int i = 0; i < count; ++i) {
        Sptr<BaseAddress> page = pages->getData(i);
        if (!page) {
            CPLOG(3, "%d block address for page bitmap is not exist, it need %d block for page bitmap", i, count);
            TESSOR_ASSERT(false);
        }
        const int block = page->getBlockNo();
        if (i > 0 && block == previous) {
            continue;
        }
        previous = block;
        if (entries == CodeCtrl::kPageTblBlocks) {
            CPLOG(3, "%s: block %d of the page bitmap has no entry, wPageTblBlkAddr holds %d", getName(), block,
                  CodeCtrl::kPageTblBlocks);
            continue;
        }
        m_code.wPageTblBlkAddr[entries++] = static_cast<uint16_t>(block);
        CPLOG(7, "add block %d to wPageTblBlkAddr", block);
    }
}

int CfgCode::finish(const CfgDeviceView& device, const CodeAllocation& allocation, const FlashCtrl& flashItem,
                    BuildInfo* buildInfo)
{
    TESSOR_ASSERT(device.plane && allocation.addresses);
    TESSOR_ASSERT(device.settings && device.disk && device.flash);
    const schema::ConfigInfo& settings = *device.settings;
    const schema::DiskInfo& disk = *device.disk;
    const _FLASH_CHIP_INFO& chip = *device.flash->getChipInfo();
    const AllocatAddress& addresses = *allocation.addresses;
    CodeCtrl& c = m_code;

    c.bLEDOnOff = settings.getLedStatus() == 0 ? kLedOff : 0;
    const int frequency = settings.getLedFreq();
    if (frequency >= 0 && frequency < static_cast<int>(sizeof kLedFrequencies)) {
        c.bLEDFreqc = kLedFrequencies[frequency];
    }
    c.bSectorsPerCode = sectorsPerCode();
    c.bCeCount = static_cast<uint8_t>(disk.getChipsPerDisk());

    Sptr<BaseAddress> tableAddress = addresses.getCfgTableAddress();
    Sptr<BaseAddress> flagTable = addresses.getFlagTableAddress();
    TESSOR_ASSERT(tableAddress && flagTable);
    c.bCfgTblCe = static_cast<uint8_t>(tableAddress->getChipNo());
    c.wCfgTblBlkAddr = static_cast<uint16_t>(tableAddress->getBlockNo());
    c.bCfgTblPage = static_cast<uint8_t>(tableAddress->getPageNo());
    if (Sptr<BaseAddress> index = addresses.getExternalCodeIndexAddress()) {
        c.bExtCodeIndexPage = static_cast<uint8_t>(index->getPageNo());
    }
    c.bFlagTblPage = static_cast<uint8_t>((flagTable->getBlockNo() - tableAddress->getBlockNo()) *
                                              disk.getPagesPerBlock() +
                                          flagTable->getPageNo());
    c.bPagesPerCode = static_cast<uint8_t>(allocation.pagesPerCode);
    std::fill(c.wExtCodePage, c.wExtCodePage + CodeCtrl::kExtCodePages, kNoPage);

    const int eccOpen = usesTwelveBitEcc(disk.getSectorsPerPage(), static_cast<uint32_t>(chip.ID)) ? 1 : 0;
    c.bFlashMode = static_cast<uint8_t>(2 * lowByte(chip.BusWord) + eccOpen);
    CPLOG(7, "bFlashMode = %d   EccOpen = %d ", c.bFlashMode, eccOpen);
    CPLOG(7, "getPagesCount4ExternalCode = %d", allocation.pagesForExternalCode);
    storeCodePages(0, allocation.pagesForExternalCode, addresses.getExternalCodeAddress(), *tableAddress,
                   disk.getPagesPerBlock(), "%d page address for external code is not exist, it need %d page for external code");
    if (allocation.dpfSupport) {
        storeCodePages(allocation.pagesForExternalCode, allocation.pagesForDpfCode, allocation.dpfCodeAddress,
                       *tableAddress, disk.getPagesPerBlock(), "No. %d page address for DPF code is not exist, it need %d page for external code");
        TESSOR_ASSERT(allocation.photoCfgTableAddress);
        c.PhotoCfgTableAddress = static_cast<uint32_t>(allocation.photoCfgTableAddress->getPhyAddress());
        CPLOG(7, "Dpf PhotoInfo CfgTable are wrote to %s", allocation.photoCfgTableAddress->logData());
        c.PhotoEn = 1;
    }

    c.bPageTblValidPage = static_cast<uint8_t>(allocation.pagesInBlockSet0 - 1);
    std::fill(c.wPageTblBlkAddr, c.wPageTblBlkAddr + CodeCtrl::kPageTblBlocks, kNoPage);
    if (buildInfo != nullptr) {
        buildInfo->finish(device);
    }
    TESSOR_ASSERT(allocation.pageBitmapAddress);
    const int bitmapPages = allocation.pageBitmapAddress->getCount();
    CPLOG(7, "address4PageBitmap = %d", bitmapPages);
    storePageBitmapBlocks(allocation.pageBitmapAddress, bitmapPages);

    const int flagBytes = (allocation.pageBitmapPagesPerBlock + 7) / 8;
    TESSOR_ASSERT(flagBytes > 0);
    c.bFlagLenPerBlk = c.bFlagBitmapLen = static_cast<uint8_t>(flagBytes);
    c.bBlksPerFlagSector = static_cast<uint8_t>(kFlagSectorBytes / flagBytes);
    c.wLenOf16BlkPagFlg = static_cast<uint16_t>(flagBytes * allocation.pageBitmapBlocks);
    CPLOG(7, "wLenOf16BlkPagFlg %d", c.wLenOf16BlkPagFlg);
    TESSOR_ASSERT(c.wLenOf16BlkPagFlg != 0);

    const int blocks = disk.getChipsPerDisk() * disk.getBlocksPerChip();
    c.wTotalBlocks = static_cast<uint16_t>(blocks);
    c.blockModeFlags &= 1;
    if (settings.checkBlockMode()) {
        c.blockModeFlags |= 1;
        c.wTotalBlocks = static_cast<uint16_t>(blocks / planeFactor(flashItem));
    }
    updateBlockSet(device.setList);
    return 0;
}

void CfgCode::debug()
{
    const CodeCtrl& c = m_code;
    SystemInfo::debug("\tCfgCode Info :\n");
    SystemInfo::debug("\t\tspeedLow : %d \n", c.speedLow);
    SystemInfo::debug("\t\tbootloadEn : %d \n\n", c.bootloadEn);
    SystemInfo::debug("\t\tCtrlFlags_rsv2 : %d \n", c.CtrlFlags_rsv2);
    SystemInfo::debug("\t\tbSpeedChangeEn : %d \n\n", c.bSpeedChangeEn);
    SystemInfo::debug("\t\tpRstDisa : %d \n", c.pRstDisa);
    SystemInfo::debug("\t\tpLogRdRstDisa : %d \n\n", c.pLogRdRstDisa);
    SystemInfo::debug("\t\tpLogWrRstDisa : %d \n", c.pLogWrRstDisa);
    SystemInfo::debug("\t\tRsv1 : %d \n\n", c.Rsv1);
    SystemInfo::debug("\t\tbuildReplaceZoneEn : %d \n", c.buildReplaceZoneEn);
    SystemInfo::debug("\t\tsetError : %d \n\n", c.setError);
    SystemInfo::debug("\t\tlog2phyLogRW : %d \n", c.log2phyLogRW);
    SystemInfo::debug("\t\trand_en : %d \n\n", c.rand_en);
    SystemInfo::debug("\t\tzone128 : %d \n", c.zone128);
    SystemInfo::debug("\t\tRsv2 : %d \n\n", c.Rsv2);
    SystemInfo::debug("\t\tbPramUse : %d \n", c.bPramUse);
    SystemInfo::debug("\t\tbSofCheckIntvTime : %d \n\n", c.bSofCheckIntvTime);
    SystemInfo::debug("\t\tbSofErrNum : %d \n", c.bSofErrNum);
    SystemInfo::debug("\t\tbLEDOnOff : %d \n\n", c.bLEDOnOff);
    SystemInfo::debug("\t\tbLEDFreqc : %d \n", c.bLEDFreqc);
    SystemInfo::debug("\t\tBlock Address for CfgTable : %d \n", c.wCfgTblBlkAddr);
    SystemInfo::debug("\t\tPage No of Config Table : %d \n", c.bCfgTblPage);
    SystemInfo::debug("\t\tPage No of Flag Table : %d \n", c.bFlagTblPage);
    for (int i = 0; i < CodeCtrl::kExtCodePages; ++i) {
        SystemInfo::debug("\t\t\tPage No of External Code %d : %d \n", i, c.wExtCodePage[i]);
    }
    SystemInfo::debug("\t\tPages Count for  every Code : %d \n", c.bPagesPerCode);
    SystemInfo::debug("\t\tCode Length for every Code : %d \n\n", c.bSectorsPerCode);
    SystemInfo::debug("\t\tvalidate page of every block for page bitmap : %d \n", c.bPageTblValidPage);
    for (int i = 0; i < CodeCtrl::kPageTblBlocks; ++i) {
        SystemInfo::debug("\t\t\tBlock Addess of Block %d for Page Bitmap : %d \n", i, c.wPageTblBlkAddr[i]);
    }
    SystemInfo::debug("\n\t\tFlag table Info :\n");
    SystemInfo::debug("\t\t\tlength of Flags table for every Block : %d \n", c.bFlagLenPerBlk);
    SystemInfo::debug("\t\t\tHow many block contained in Flag Table(One Sector) : %d \n", c.bBlksPerFlagSector);
    SystemInfo::debug("\t\t\tBytes length of this Flag Table Bitmap : %d\n", c.bFlagBitmapLen);
    SystemInfo::debug("\t\tCE Count : %d ; Block Count for all CEs : %d\n", c.bCeCount, c.wTotalBlocks);
    SystemInfo::debug("\n\t\tNumber of Block Set : %d \n", c.bBlockSetNum);
    for (int i = 0; i < CodeCtrl::kBlockSets; ++i) {
        SystemInfo::debug("\t\t\tBlock Set %d :  Block Count : %d\t Page Count : %d \n", i, c.wSetBlocks[i],
                          c.wSetPages[i]);
        if (m_variant != CfgVariant::V6706) {
            SystemInfo::debug("\t\t\tBlockSet %d :Sector Per Page %d; \tStart Sector : %d \n", i,
                              c.bSetSectorsPerPage[i], c.bSetStartSector[i]);
        }
    }
    SystemInfo::debug("\n\t\tPhotoEn : %d; PhotoCfgTableAddress : %d\n", c.PhotoEn,
                      static_cast<int>(c.PhotoCfgTableAddress));
    SystemInfo::debug("\n\t\tbFlashMode : %d\n", c.bFlashMode);
}

}  // namespace Tessor::usb
