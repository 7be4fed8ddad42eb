#include "usb/cfg/AddressFactory.h"

#include <algorithm>

#include "platform/orrin/CeilDivide.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cfg/CfgPageSteps.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cfg/CodeCtrl.h"
#include "usb/cfg/CodeCtrlLayout.h"
#include "usb/cfg/CodeFactory.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::usb {

namespace {

using schema::BaseAddress;
using schema::UsbConfiguration;

// A run is addressed by the controller relative to its first page.
constexpr int kRunPages = 0x100;
// The first blocks hold the controller's boot data.
constexpr int kFirstIndexBlock = 2;

Sptr<BaseAddress> copyOf(const Sptr<BaseAddress>& a) { return Sptr<BaseAddress>(new BaseAddress(a)); }

void trace(const char* format, const Sptr<BaseAddress>& a)
{
    if (schema::getLogLevel() >= 7 && a) {
        CPLOG(7, format, a->logData());
    }
}

}  // namespace

AddressFactory::AddressFactory(schema::UsbDevice* device) : BaseData(device, "AddressFactory")
{
    init();
}

int AddressFactory::init()
{
    m_cfgTable = Address();
    m_externalCode = Address();
    m_flagTable = Address();
    m_buildInfo = Address();
    m_pageBitmap = Address();
    m_hasCfgTableIndex = false;
    return 1;
}

AddressFactory::Address AddressFactory::getExternalCodeAddress() const
{
    if (m_externalCode && m_externalCode->getCount() > 0) {
        CPLOG(7, "%d address for external code", m_externalCode->getCount());
    }
    return m_externalCode;
}

AddressFactory::Address AddressFactory::getDpfCodeAddress() const
{
    if (m_dpfCode && m_dpfCode->getCount() > 0) {
        CPLOG(7, "%d address for DPF code", m_dpfCode->getCount());
    }
    return m_dpfCode;
}

bool AddressFactory::cfgTable8StepCheck(int pageIndex) { return CfgPageSteps::cfgTable8StepCheck(pageIndex); }

bool AddressFactory::v31CfgTable8stepCheck(int pageIndex, schema::UsbDevice* device)
{
    TESSOR_ASSERT(device != nullptr && device->getFlashInfo() && device->getDiskInfo());
    const _FLASH_CHIP_INFO& chip = *device->getFlashInfo()->getChipInfo();
    // The same flash mode the code-control record gives the controller.
    const uint8_t m = CfgPageSteps::v31Mode(chip.BusWord & 0xFF, 0, device->getDiskInfo()->getSectorsPerPage(),
                                            static_cast<uint32_t>(chip.ID));
    return CfgPageSteps::v31CfgTable8stepCheck(pageIndex, m);
}

bool AddressFactory::isIndexPointerFirmware() const
{
    Sptr<schema::VersionInfo> version = m_device->getVersion();
    TESSOR_ASSERT(version);
    const schema::VERSION_T v = version->getVersionNumber();
    return v == schema::VERSION_6716V31 || v == schema::VERSION_6716V32 || v == schema::VERSION_6726;
}

bool AddressFactory::mayHoldCfgTable(int pageIndex) const
{
    if (isIndexPointerFirmware()) {
        return true;
    }
    const int chipSet = UsbConfiguration::instance()->getChipSet();
    if (chipSet == schema::CHIPSET_6716 || chipSet == schema::CHIPSET_6605) {
        return v31CfgTable8stepCheck(pageIndex, m_device);
    }
    return false;
}

bool AddressFactory::pageUnusable(int pageIndex) const
{
    const PageBitmap& bitmap = *m_device->getPageBitmap();
    if (pageIndex < 0 || pageIndex / 8 >= bitmap.getLength()) {
        return true;
    }
    return BitRange::test(bitmap.getBitmap(), pageIndex);
}

AddressFactory::CodePages AddressFactory::codePages(const Sptr<ExternalCode>& code, int sectorsPerPage)
{
    CodePages pages;
    if (sectorsPerPage <= 0 || !code || code->getCount() == 0) {
        return pages;
    }
    // Each piece has a run of whole pages of its own.
    pages.perPiece = ceilDivide(code->getSectorsPerPiece(), sectorsPerPage);
    pages.total = pages.perPiece * code->getCount();
    return pages;
}

Sptr<ExternalCode> AddressFactory::runExternalCode() const
{
    Sptr<CmdExternalCode> own = m_device != nullptr ? m_device->getExternalCode() : Sptr<CmdExternalCode>();
    if (own && own->getCode()) {
        return own->getCode();
    }
    CodeFactory* factory = CodeFactory::instance();
    return factory != nullptr ? factory->getCode(CODE_TYPE_FLASH) : Sptr<ExternalCode>();
}

AddressFactory::Address AddressFactory::allocateIndexPointerAddr(schema::UsbDevice* device)
{
    TESSOR_ASSERT(device != nullptr);
    if (m_device == nullptr) {
        m_device = device;
    }
    Sptr<schema::DiskInfo> disk = device->getDiskInfo();
    Sptr<SectorBitmap> sectors = device->getSectorBitmap();
    TESSOR_ASSERT(disk && sectors);
    const int ppb = disk->getPagesPerBlock();
    const int spp = disk->getSectorsPerPage();
    const int want = UsbConfiguration::instance()->getCfgTableCount();
    const unsigned allBad = (1u << std::min(spp, 16)) - 1u;
    Address list;
    int count = 0;
    for (int b = kFirstIndexBlock; b < disk->getTotalBlocks() && (count == 0 || count != want); ++b) {
        for (int j = 0; j < ppb && (count == 0 || count != want); ++j) {
            const int p = b * ppb + j;
            if (!v31CfgTable8stepCheck(p, device)) {
                continue;
            }
            if (schema::getLogLevel() >= 7) {
                schema::SystemInfo::debugBuffer(sectors->getBitmapOfBlock(b), 64, "Block Buffer checked");
            }
            const int64_t firstSector = (int64_t(b) * ppb + j) * spp;
            if (BitRange::readWord(sectors->getBitmap(), firstSector, std::min(spp, 16)) == allBad) {
                continue;
            }
            if (!list) {
                list = Address(new BaseAddress(device, b, j, 0));
            }
            list->addData(Sptr<schema::BaseData>(new BaseAddress(device, b, j, 0)));
            ++count;
            CPLOG(7, "%d address added for IndexTable", count);
        }
    }
    if (!list) {
        CPLOG(4, "the find pos is not to used and we do not having any other choice to select a bad page to store ");
        return list;
    }
    Sptr<BlockBitmap> blocks = sectors->getBlockBitmap();
    for (int i = 0; i < list->getCount() && i < want; ++i) {
        Address page = list->getData(i);
        TESSOR_ASSERT(page);
        CPLOG(7, "No. %d IndexTable are allocated at %s", i, page->logData());
        const int block = page->getChipNo() * disk->getBlocksPerChip() + page->getBlockNo();
        sectors->setAsBad(block);
        if (blocks) {
            blocks->setAsBad(block);
        }
    }
    return list;
}

bool AddressFactory::allocateUDiskAddresses(Sptr<BlockSet> blockSet)
{
    TESSOR_ASSERT(blockSet);
    if (m_device == nullptr) {
        m_device = blockSet->getDevice();
    }
    TESSOR_ASSERT(m_device != nullptr);
    m_diskInfo = m_device->getDiskInfo();
    Sptr<AllocatAddress> container = m_device->getAllocatAddress();
    TESSOR_ASSERT(container && m_device->getCurrentPlaneInfo() && m_device->getCfgTable());
    Sptr<CfgCode> code = m_device->getCfgTable()->getCodeCtrl();
    TESSOR_ASSERT(code);
    TESSOR_ASSERT(m_device->getPageBitmap());
    m_cfgTableIndex = Address(new BaseAddress(m_device, 0, 0, 0));

    const int cfgTableCount = UsbConfiguration::instance()->getCfgTableCount();
    const bool indexPointer = isIndexPointerFirmware();
    Address preAllocated;
    int copies = cfgTableCount;
    if (indexPointer) {
        m_hasCfgTableIndex = false;
        preAllocated = m_device->getPerAllocateCfgIndexPtr();
        TESSOR_ASSERT(preAllocated);
        CPLOG(7, "Count =%d", container->getCount());
        copies = std::min(copies, preAllocated->getCount());
    }
    for (int i = 0; i < copies; ++i) {
        if (allocateConfigBlock(blockSet) == 0) {
            if (i == 0) {
                CPLOG(indexPointer ? 3 : 4, "Space allocation of Config table on blockset failed");
                return false;
            }
            // Repeating the previous run would program its pages twice.
            CPLOG(4, "Only %d of %d copies of the system area fit in blockset %d", i, copies, blockSet->getIndex());
            break;
        }
        Sptr<AllocatAddress> set(new AllocatAddress());
        if (indexPointer) {
            Address page = preAllocated->getData(i);
            TESSOR_ASSERT(page);
            m_cfgTableIndex->addData(Sptr<schema::BaseData>(page));
            m_hasCfgTableIndex = true;
            set->setCfgTableIndexAddress(page);
            set->setExternalCodeIndexAddress(page);
        } else {
            m_hasCfgTableIndex = false;
            set->setExternalCodeIndexAddress(m_externalCodeIndex);
        }
        fillCopy(*set, indexPointer);
        if (!placePageBitmap(blockSet, *set)) {
            CPLOG(4, "Space allocation of Page Bitmap table on blockset failed");
            return false;
        }
        container->addData(Sptr<schema::BaseData>(set));
    }

    CodeCtrl& c = code->record();
    const uint8_t start = static_cast<uint8_t>(blockSet->getStartSector());
    const uint8_t sectors = static_cast<uint8_t>(blockSet->getSectorCount());
    c.bSysStart0 = start;
    c.bSysStart1 = start;
    c.bSysCount1 = sectors;
    c.bSysStart2 = start;
    c.bSysCount2 = sectors;
    return true;
}

void AddressFactory::fillCopy(AllocatAddress& set, bool indexPointer) const
{
    set.setCfgTableAddress(m_cfgTable);
    set.setExternalCodeAddress(m_externalCode);
    set.setDpfCodeAddress(m_dpfCode);
    set.setFlagTableAddress(m_flagTable);
    set.setBuildInfoAddress(m_buildInfo);
    trace("getCfgTableAddress at %s", set.getCfgTableAddress());
    if (indexPointer) {
        trace("getCfgTableIndexAddress at %s", set.getCfgTableIndexAddress());
        trace("setExternalCodeAddress at %s", set.getExternalCodeAddress());
    } else {
        trace("setExternalCodeIndexAddress at %s", set.getExternalCodeIndexAddress());
    }
    trace("getFlagTableAddress at %s", set.getFlagTableAddress());
    trace("getBuildInfoAddress at %s", set.getBuildInfoAddress());
}

bool AddressFactory::placePageBitmap(const Sptr<BlockSet>& blockSet, AllocatAddress& set)
{
    Sptr<schema::PlaneInfo> plane = m_device->getCurrentPlaneInfo();
    Sptr<schema::ConfigInfo> settings = m_device->getConfigInfo();
    Sptr<PageBitmap> pageBitmap = m_device->getPageBitmap();
    const bool multiPlane = settings && settings->checkBlockMode() && plane->getTotalPlanes() > 1;
    if (!multiPlane) {
        if (pageBitmap->storeInBlockSet(blockSet) != 0 || allocatePagesBitmapBlocks(blockSet) == 0) {
            return false;
        }
        set.setPageBitmapAddress(m_pageBitmap);
        return true;
    }
    int planesPerChip = 0;
    int groups = 0;
    int divisor = 0;
    if (isIndexPointerFirmware()) {
        planesPerChip = plane->getPlanePerChip();
        groups = plane->getChipCounts() * plane->getInterleavePerChip();
        divisor = plane->getTotalPlanes();
    } else {
        const _FLASH_CHIP_INFO& chip = *m_device->getFlashInfo()->getChipInfo();
        planesPerChip = chip.maxPlaneNum + 1;
        groups = (chip.maxIntlvNum + 1) * m_diskInfo->getChipsPerDisk();
        divisor = m_diskInfo->getChipsPerDisk() * planesPerChip;
    }
    Sptr<BlockBitmap> blocks = m_device->getSectorBitmap()->getBlockBitmap();
    TESSOR_ASSERT(blocks);
    Sptr<BlockSet> planeSet(new BlockSet(m_device, "Blockset"));
    // A bitmap the planes do not divide is logged and loads no block.
    (void)blocks->addIntoBlockSetInMultiPlaneMode(planeSet, planesPerChip, groups);
    pageBitmap->updatePageBitmapFromBlockSet(planeSet, divisor);
    if (pageBitmap->storeInBlockSet(blockSet) != 0 || allocatePagesBitmapBlocks(planeSet) == 0) {
        return false;
    }
    set.setPageBitmapAddress(m_pageBitmap);
    // The planes divided the bitmap above, so this cannot fail.
    (void)blocks->addIntoBlockSetInSinglePlaneMode(blockSet, planesPerChip, groups);
    pageBitmap->updatePageBitmapFromBlockSet(blockSet, 1);
    return true;
}

int AddressFactory::allocateConfigBlock(Sptr<BlockSet> blockSet)
{
    const int spp = blockSet->getSectorCount();
    const int ppbSet = blockSet->getPagesCountEveryBlock();
    const int ppb = m_diskInfo->getPagesPerBlock();
    const bool sixSixOhFive = UsbConfiguration::instance()->getChipSet() == schema::CHIPSET_6605;

    const Sptr<ExternalCode> externalCode = runExternalCode();
    CodeFactory* factory = CodeFactory::instance();
    const CodePages external = codePages(externalCode, spp);
    const CodePages dpf = UsbConfiguration::instance()->isDpfSupport() && factory != nullptr
                              ? codePages(factory->getCode(CODE_TYPE_DPF), spp)
                              : CodePages();
    CPLOG(7, "codeLength %d   codeCount %d  _pagesCountPercode %d", externalCode ? externalCode->getCodeLength() : 0,
          external.perPiece > 0 ? external.total / external.perPiece : 0, external.perPiece);
    CPLOG(7, "external codes need %d pages for stored in this blockSet", external.total);
    // The code-control record lists each code page; the 6605 lists them in its index sector.
    const std::optional<CfgVariant> variant = m_device->getCfgTable()->getVariant();
    const int codePageLimit = sixSixOhFive ? ExternalCodeIndex::MAX_ENTRIES
                              : variant   ? CodeCtrlLayout::codePageEntries(*variant)
                                          : 0;
    if (external.total + dpf.total > codePageLimit) {
        std::string files = externalCode ? externalCode->fileNames() : std::string();
        if (dpf.total > 0) {
            files += ", " + factory->getCode(CODE_TYPE_DPF)->fileNames();
        }
        m_refusal = "the firmware code (" + files + ") needs " + std::to_string(external.total + dpf.total) +
                    " code pages of " + std::to_string(spp) + " sectors, but the system area lists at most " +
                    std::to_string(codePageLimit);
        CPLOG(3, "%s", m_refusal.c_str());
        return 0;
    }
    const int need = external.total + dpf.total + 3 + (sixSixOhFive ? 1 : 0);
    CPLOG(7, "Allocate Config table address in No.%d blockset (blocks count %d)", blockSet->getIndex(),
          blockSet->getBlocksCount());
    CPLOG(7, "current Blockset has %d Blocks", blockSet->getBlocksCount());
    if (ppbSet <= 0) {
        return 0;
    }

    for (int ii = 0; ii < blockSet->getBlocksCount(); ++ii) {
        const int blockNo = blockSet->getBlockNo(ii);
        int good = 0;
        for (int j = 0; j < ppb; ++j) {
            const int p = blockNo * ppb + j;
            if (pageUnusable(p)) {
                continue;
            }
            ++good;
            if (!mayHoldCfgTable(p)) {
                continue;
            }
            const int needBlk = (ppbSet + good + need - 2) / ppbSet;
            CPLOG(7, "needBlkCountInBlkSet = %d,ii =%d", needBlk, ii);
            if (ii + needBlk >= blockSet->getBlocksCount()) {
                CPLOG(3, "Out of the range ! cfgtable Cann't Allocate from this Block set");
                return 0;
            }
            const int span = (blockSet->getBlockNo(ii + needBlk - 1) - blockNo + 1) * ppb;
            if (span > kRunPages) {
                break;
            }
            std::vector<Address> pages;
            if (!takeRun(blockSet, ii, j, needBlk, need, pages)) {
                return 0;
            }
            m_pagesCount4ExternalCode = external.total;
            m_pagesCountPerCode = external.perPiece;
            m_pagesCount4DpfCode = dpf.total;
            m_pagesCount4BlockSet0 = ppbSet;
            m_sectorsCount4BlockSet0 = spp;
            // Page roles in run order: [6605 code index] external code, photo-frame code, flag table, build information.
            const int n = static_cast<int>(pages.size());
            int at = 0;
            if (sixSixOhFive) {
                m_externalCodeIndex = copyOf(pages[at++]);
                trace("6605 externalCodeIndex is at %s", m_externalCodeIndex);
            }
            m_externalCode = listOf(pages, at, at + external.total);
            for (int k = at; k < at + external.total; ++k) {
                trace(sixSixOhFive ? "6605 externalCode is at %s" : "externalCode is at %s", pages[k]);
            }
            at += external.total;
            m_dpfCode = listOf(pages, at, at + dpf.total);
            m_flagTable = copyOf(pages[n - 2]);
            trace("flagsTable is at %s", m_flagTable);
            m_buildInfo = copyOf(pages[n - 1]);
            trace("BuildInfo is at %s", m_buildInfo);
            return 1;
        }
    }
    return 0;
}

bool AddressFactory::takeRun(const Sptr<BlockSet>& blockSet, int ii, int page, int needBlocks, int need,
                             std::vector<Address>& pages)
{
    const int ppb = m_diskInfo->getPagesPerBlock();
    const int start = blockSet->getStartSector();
    const int blockNo = blockSet->getBlockNo(ii);
    const int cfgPage = blockNo * ppb + page;
    std::vector<int> run;
    for (int k = ii; k < ii + needBlocks; ++k) {
        const int b = blockSet->getBlockNo(k);
        run.push_back(b);
        for (int j = 0; j < ppb && static_cast<int>(pages.size()) < need - 1; ++j) {
            const int p = b * ppb + j;
            if (p > cfgPage && !pageUnusable(p)) {
                pages.push_back(Address(new BaseAddress(m_device, b, j, start)));
            }
        }
    }
    CPLOG(7, "count = %d", static_cast<int>(pages.size()));
    if (static_cast<int>(pages.size()) < need - 1) {
        CPLOG(3, "The run from block %d holds only %d of the %d pages the system area needs", blockNo,
              static_cast<int>(pages.size()) + 1, need);
        return false;
    }
    m_cfgTable = Address(new BaseAddress(m_device, blockNo, page, start));
    Sptr<BlockBitmap> blocks = m_device->getSectorBitmap()->getBlockBitmap();
    TESSOR_ASSERT(blocks);
    for (int b : run) {
        blocks->setAsBad(b);
        blockSet->removeBlock(b);
    }
    return true;
}

AddressFactory::Address AddressFactory::listOf(const std::vector<Address>& pages, int from, int to) const
{
    Address list(new BaseAddress(from < to ? pages[from] : m_cfgTable));
    list->setPageNo(0);
    list->setSectorNo(0);
    for (int k = from; k < to; ++k) {
        list->addData(Sptr<schema::BaseData>(copyOf(pages[k])));
    }
    return list;
}

int AddressFactory::allocatePagesBitmapBlocks(Sptr<BlockSet> blockSet)
{
    Sptr<PageBitmap> pageBitmap = m_device->getPageBitmap();
    Sptr<SectorBitmap> sectors = m_device->getSectorBitmap();
    Sptr<BlockBitmap> blocks = sectors->getBlockBitmap();
    Sptr<schema::PlaneInfo> plane = m_device->getCurrentPlaneInfo();
    TESSOR_ASSERT(blocks && plane);
    const int ppb = m_diskInfo->getPagesPerBlock();
    const int ppbSet = blockSet->getPagesCountEveryBlock();
    m_pageBitmap = Address(new BaseAddress(m_device, 0, 0, 0));
    Sptr<schema::ConfigInfo> settings = m_device->getConfigInfo();
    const int planes = plane->getTotalPlanes();
    if (settings && settings->checkBlockMode() && planes > 1 &&
        m_device->getVersion()->getVersionNumber() != schema::VERSION_6726) {
        return 1;
    }
    const int pagesNeeded = ceilDivide(pageBitmap->getLengthOfPage(), std::max(planes, 1));
    const int blocksNeeded = ceilDivide(pageBitmap->getLengthOfBlock(), std::max(planes, 1));
    if (planes <= 1) {
        CPLOG(7, "Single Plane %d pages(%d blocks) are need by page bitmap", pagesNeeded,
              pageBitmap->getLengthOfBlock());
    } else {
        CPLOG(7, "Multi Plane %d pages(%d blocks) are need by page bitmap", pagesNeeded, blocksNeeded);
    }
    // Blocks are taken until every page the bitmap needs has one: a block
    // may give fewer pages than the set's, or none.
    int taken = 0;
    for (int ii = 0; ii < blockSet->getBlocksCount() && taken < pagesNeeded;) {
        const int blockNo = blockSet->getBlockNo(ii);
        Sptr<AddrInfo> request(new AddrInfo(1, std::min(ppbSet, pagesNeeded - taken), false));
        Address list = allocateAddress(blockNo * ppb, blockSet->getStartSector(), request);
        if (!list) {
            ++ii;
            continue;
        }
        CPLOG(7, "No.%d block with BlockNo. %d is removing", ii, blockNo);
        blocks->setAsBad(blockNo);
        sectors->setAsBad(blockNo);
        blockSet->removeBlock(blockNo);
        CPLOG(7, "%d pages are allocated in this block", list->getCount());
        Address first = list->getData(0);
        for (int k = 0; k < list->getCount(); ++k) {
            Address page = list->getData(k);
            TESSOR_ASSERT(page);
            m_pageBitmap->addData(Sptr<schema::BaseData>(copyOf(page)));
        }
        taken += list->getCount();
        m_pageBitmap->setBlockNo(first->getChipNo() * m_diskInfo->getBlocksPerChip() + first->getBlockNo());
        m_pageBitmap->setPageNo(first->getPageNo());
    }
    if (taken >= pagesNeeded) {
        return 1;
    }
    CPLOG(4, "No enough blocks can be allocated for page bitmap in blockset %d, only  blocks have been allocated",
          blockSet->getIndex());
    return 0;
}

AddressFactory::Address AddressFactory::allocateAddress(int firstPage, int sector, Sptr<AddrInfo> request)
{
    const int ppb = m_diskInfo->getPagesPerBlock();
    const int block = firstPage / ppb;
    const int end = std::min((block + 1) * ppb, m_diskInfo->getTotalPages());
    const int want = request->getPagesCount();
    CPLOG(7, "i = %d ,allocatePageCount =%d,pageIndex =%d,endPageIndex =%d", 0, want, firstPage, end);
    if (want <= 0) {
        return Address();
    }
    Address list(new BaseAddress(m_device, block, 0, 0));
    bool checkCfg = request->getIsCfgBlock();
    const int chipSet = UsbConfiguration::instance()->getChipSet();
    for (int p = firstPage; p < end && list->getCount() < want; ++p) {
        if (pageUnusable(p)) {
            continue;
        }
        if (checkCfg && ((isIndexPointerFirmware() && !v31CfgTable8stepCheck(p, m_device)) ||
                         (chipSet == schema::CHIPSET_6716 && !cfgTable8StepCheck(p)))) {
            continue;
        }
        if (checkCfg) {
            CPLOG(7, "CfgTable is allocated at page =%d", p);
        }
        list->addData(Sptr<schema::BaseData>(new BaseAddress(m_device, p / ppb, p % ppb, sector)));
        checkCfg = false;
    }
    return list->getCount() > 0 ? list : Address();
}

}  // namespace Tessor::usb
