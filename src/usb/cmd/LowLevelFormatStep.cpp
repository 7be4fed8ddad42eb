#include "usb/cmd/LowLevelFormatStep.h"

#include <algorithm>
#include <array>

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/AddressFactory.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/IndexTableSet.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/cmd/SetList.h"

namespace Tessor::usb {

using schema::UsbDevice;

namespace {

// Smaller sets are not worth an index table of their own.
constexpr int kMinFirstSetBlocks = 40;
constexpr int kMinLaterSetBlocks = 60;
constexpr int kMinSpecialLaterSetBlocks = 29;
// The special builder looks for the configuration table's page below this.
constexpr int kSpecialPageLimit = 65536;

int totalPlanesOf(UsbDevice* device)
{
    Sptr<schema::PlaneInfo> plane = device->getCurrentPlaneInfo();
    return plane ? plane->getTotalPlanes() : 1;
}

// The pages holding the page bitmap itself count as usable in every copy of
// the system area.
void releasePageBitmapBlocks(UsbDevice* device, PageBitmap& pages)
{
    Sptr<AllocatAddress> copies = device->getAllocatAddress();
    const int blocksPerChip = device->getDiskInfo()->getBlocksPerChip();
    for (Sptr<schema::BaseData> c = copies ? copies->getNextData({}) : Sptr<schema::BaseData>(); c;
         c = copies->getNextData(c)) {
        Sptr<AllocatAddress> copy = c;
        Sptr<schema::BaseAddress> where = copy ? copy->getPageBitmapAddress() : Sptr<schema::BaseAddress>();
        if (where) {
            pages.releaseBlock(where->getChipNo() * blocksPerChip + where->getBlockNo());
        }
    }
}

// The device's address factory, made for it when it has none yet.
Sptr<AddressFactory> addressFactoryOf(UsbDevice* device)
{
    Sptr<AddressFactory> factory = device->getAddress();
    return factory ? factory : Sptr<AddressFactory>(new AddressFactory(device));
}

}  // namespace

LowLevelFormatStep::LowLevelFormatStep(UsbDevice* device, const std::string& name) : BaseCmdData(device, name)
{
    init();
}

LowLevelFormatStep::~LowLevelFormatStep() = default;

int LowLevelFormatStep::init()
{
    TESSOR_ASSERT(getDevice() != nullptr && m_diskInfo);
    m_pagesPerBlock = m_diskInfo->getPagesPerBlock();
    m_sectorsPerPage = m_diskInfo->getSectorsPerPage();
    m_sectorsPerBlock = m_sectorsPerPage * m_pagesPerBlock;
    m_diskBlockTotal = m_diskInfo->getTotalBlocks();
    m_blockLists.assign(static_cast<size_t>(m_sectorsPerPage) * m_sectorsPerPage, {});
    m_blockUsed.assign(static_cast<size_t>(m_diskBlockTotal), 0);
    return 0;
}

int LowLevelFormatStep::addSectorBitMap(Sptr<SectorBitmap> bitmap)
{
    TESSOR_ASSERT(bitmap);
    m_sectorBitmap = bitmap;
    const std::list<_BLOCK_NODE>* source = bitmap->getList();
    TESSOR_ASSERT(source != nullptr);
    for (size_t i = 0; i < m_blockLists.size(); ++i) {
        m_blockLists[i] = source[i];
    }
    return 0;
}

int LowLevelFormatStep::GetOptimizePage(const std::list<_BLOCK_NODE>* list, int& pages, int& total) const
{
    TESSOR_ASSERT(list != nullptr && m_pagesPerBlock <= kMaxGroupedPagesPerBlock);
    const int nodes = static_cast<int>(list->size());
    if (nodes < 1) {
        return 0;
    }
    std::array<int, kMaxGroupedPagesPerBlock + 1> carrying{};
    for (const _BLOCK_NODE& node : *list) {
        if (node.pageCount >= 1 && node.pageCount <= kMaxGroupedPagesPerBlock) {
            ++carrying[static_cast<size_t>(node.pageCount)];
        }
    }
    int bestPages = 1;
    int bestTotal = nodes;
    int atLeast = nodes;
    for (int p = 2; p <= m_pagesPerBlock && atLeast >= 1; ++p) {
        atLeast -= carrying[static_cast<size_t>(p - 1)];
        if (p * atLeast >= bestTotal) {
            bestPages = p;
            bestTotal = p * atLeast;
        }
    }
    pages = bestPages;
    total = bestTotal;
    return bestPages;
}

Sptr<BlockSet> LowLevelFormatStep::getMaxBlockSet(BlockLists& lists)
{
    UsbDevice* device = getDevice();
    TESSOR_ASSERT(device != nullptr);
    Sptr<BlockSet> set(new BlockSet(device, "Blockset"));
    const int s = m_sectorsPerPage;
    std::vector<int> pageCounts(static_cast<size_t>(s) * s, 0);
    std::vector<int> sectorTotals(static_cast<size_t>(s) * s, 0);
    int best = 0;
    for (int r = 0; r < s; ++r) {
        for (int c = 0; c < s - r; ++c) {
            const size_t at = static_cast<size_t>(r) * s + c;
            GetOptimizePage(&cell(lists, r, c), pageCounts[at], sectorTotals[at]);
            sectorTotals[at] *= c + 1;
            if (sectorTotals[at] > best) {
                set->setStartSector(r);
                set->setSectorCount(c + 1);
                set->setPagesCountEveryBlock(pageCounts[at]);
                best = sectorTotals[at];
            }
        }
    }
    if (best == 0) {
        CPLOG(4, "All Block is add to set, no block belong to this BLOCKSET!");
        return {};
    }
    const std::list<_BLOCK_NODE>& chosen = cell(lists, set->getStartSector(), set->getSectorCount() - 1);
    if (chosen.empty()) {
        CPLOG(3, "NO block belong to  this BLOCKSET!,maybe the Blocklist setup error!");
        return {};
    }
    int k = 0;
    for (const _BLOCK_NODE& node : chosen) {
        if (static_cast<unsigned>(node.pageCount) >= static_cast<unsigned>(set->getPagesCountEveryBlock())) {
            set->addBlock(k++, node.blockNo);
            m_blockUsed[static_cast<size_t>(node.blockNo)] = 1;
        }
    }
    logTables(pageCounts, sectorTotals);
    CPLOG(7, " max Blockset startsec=%d ,lenth = %d ,page = %d ,totalBlock=%d,index = %d", set->getStartSector(),
          set->getSectorCount(), set->getPagesCountEveryBlock(), set->getBlocksCount(), k);
    return set;
}

void LowLevelFormatStep::logTables(const std::vector<int>& pages, const std::vector<int>& sectors) const
{
    const int s = m_sectorsPerPage;
    if (s != 4 && s != 8) {
        return;
    }
    for (const auto& [title, table] : {std::pair{"OptimizedPageCount", &pages}, {"OptimizedSectorCount", &sectors}}) {
        CPLOG(7, "%s", title);
        for (int r = 0; r < s; ++r) {
            const int* row = table->data() + static_cast<size_t>(r) * s;
            if (s == 4) {
                CPLOG(7, "%d,%d,%d,%d", row[0], row[1], row[2], row[3]);
            } else {
                CPLOG(7, "%d,%d,%d,%d,%d,%d,%d,%d", row[0], row[1], row[2], row[3], row[4], row[5], row[6], row[7]);
            }
        }
    }
}

int LowLevelFormatStep::deleteBlocksFromList(BlockLists& lists) const
{
    for (int r = 0; r < m_sectorsPerPage; ++r) {
        for (int c = 0; c < m_sectorsPerPage - r; ++c) {
            cell(lists, r, c).remove_if(
                [this](const _BLOCK_NODE& node) { return m_blockUsed[static_cast<size_t>(node.blockNo)] != 0; });
        }
    }
    return 0;
}

void LowLevelFormatStep::logSet(const char* builder, int number, const Sptr<BlockSet>& set) const
{
    CPLOG(7, " %s Blockset NO %d ,startsec=%d ,lenth = %d ,page = %d ,totalBlock=%d", builder, number,
          set->getStartSector(), set->getSectorCount(), set->getPagesCountEveryBlock(), set->getBlocksCount());
}

Sptr<SetList> LowLevelFormatStep::setupNormalSetList(int maxSets)
{
    UsbDevice* device = getDevice();
    TESSOR_ASSERT(device != nullptr && m_sectorBitmap);
    Sptr<SetList> list(new SetList(device, "SetList"));
    const int totalPlanes = totalPlanesOf(device);
    Sptr<PageBitmap> pages;
    bool placed = false;
    if (totalPlanes <= 1) {
        pages = Sptr<PageBitmap>(new PageBitmap(device));
        device->setPageBitmap(pages);
    } else {
        // Several planes: the page bitmap and the system area come first.
        pages = device->getPageBitmap();
        if (!pages) {
            CPLOG(3, "No page bitmap on the device for a set list of %d planes", totalPlanes);
            return {};
        }
        placed = true;
    }
    for (int i = 0; i < maxSets; ++i) {
        Sptr<BlockSet> set = getMaxBlockSet(m_blockLists);
        if (!set) {
            break;
        }
        deleteBlocksFromList(m_blockLists);
        (void)pages->addBlockSet(set, *m_sectorBitmap);  // the set's pages are marked whatever it reports
        CPLOG(7, "planeCount = %d,getPagesCountEveryBlock= %d", totalPlanes, set->getPagesCountEveryBlock());
        set->setPagesCountEveryBlock(set->getPagesCountEveryBlock() * totalPlanes);
        if (set->getBlocksCount() < kMinFirstSetBlocks || (i >= 1 && set->getBlocksCount() < kMinLaterSetBlocks)) {
            continue;
        }
        if (!placed && totalPlanes <= 1) {
            CPLOG(7, "Allocate Space");
            Sptr<AddressFactory> factory = addressFactoryOf(device);
            if (placeSystemArea(factory, set)) {
                placed = true;
                device->setAddress(factory);
            }
        }
        list->addData(set);
        logSet("setupNormal", i + 1, set);
    }
    return placed ? list : Sptr<SetList>();
}

bool LowLevelFormatStep::placeSystemArea(const Sptr<AddressFactory>& factory, const Sptr<BlockSet>& set)
{
    if (factory->allocateUDiskAddresses(set)) {
        return true;
    }
    if (!factory->getRefusal().empty()) {
        m_refusal = factory->getRefusal();
    }
    return false;
}

int LowLevelFormatStep::setupSetList(int maxSets)
{
    UsbDevice* device = getDevice();
    TESSOR_ASSERT(device != nullptr && device->getSectorBitmap());
    m_setList = {};
    if (m_pagesPerBlock > kMaxGroupedPagesPerBlock) {
        CPLOG(3, "Blocks of %d pages cannot be grouped into block sets", m_pagesPerBlock);
        return -1;
    }
    if (device->getConfigInfo() && device->getConfigInfo()->checkBlockMode()) {
        return setupBlockModeSetList();
    }
    addSectorBitMap(device->getSectorBitmap());
    m_setList = setupNormalSetList(maxSets);
    if (!m_setList) {
        CPLOG(3, "SetList build failed");
        return -1;
    }
    return 0;
}

int LowLevelFormatStep::setupBlockModeSetList()
{
    UsbDevice* device = getDevice();
    CPLOG(7, "Current status is Block Mode and setup Blockset!");
    m_sectorBitmap = device->getSectorBitmap();
    Sptr<BlockBitmap> blocks = m_sectorBitmap->getBlockBitmap();
    TESSOR_ASSERT(blocks);
    Sptr<SetList> list(new SetList(device, "SetList"));
    Sptr<BlockSet> all(new BlockSet(device, "Blockset"));
    Sptr<BlockSet> folded(new BlockSet(device, "Blockset"));
    blocks->addIntoBlockSet(all);

    Sptr<schema::PlaneInfo> plane = device->getCurrentPlaneInfo();
    const int planesPerChip = plane ? plane->getPlanePerChip() : 1;
    const int groups = plane ? plane->getChipCounts() * plane->getInterleavePerChip() : 1;
    const int totalPlanes = groups * planesPerChip;
    Sptr<PageBitmap> pages(new PageBitmap(device));
    device->setPageBitmap(pages);
    pages->updatePageBitmapFromBlockSet(all, 1);

    Sptr<AddressFactory> factory = addressFactoryOf(device);
    if (!placeSystemArea(factory, all)) {
        CPLOG(3, "SetList build failed");
        return -1;
    }
    if (blocks->addIntoBlockSetInMultiPlaneMode(folded, planesPerChip, groups) != 0) {
        CPLOG(3, "SetList build failed");
        return -1;
    }
    // The index map would empty a set this small (the photo-frame areas may
    // have taken its blocks): the device keeps no data block, as a set too
    // small for the normal layout is dropped.
    if (folded->getBlocksCount() < IndexTableSet::MIN_BLOCKS) {
        CPLOG(3, "SetList build failed: %d multi-plane blocks cannot hold the index tables of a block set",
              folded->getBlocksCount());
        return -1;
    }
    pages->updatePageBitmapFromBlockSet(folded, totalPlanes);
    if (totalPlanes == 1) {
        releasePageBitmapBlocks(device, *pages);
    }
    list->addData(folded);
    device->setAddress(factory);
    m_setList = list;
    return 0;
}

bool LowLevelFormatStep::isSatisfy(int page)
{
    TESSOR_ASSERT(m_sectorBitmap && getDevice() != nullptr);
    const unsigned all = (1u << m_sectorsPerPage) - 1u;
    const unsigned bad =
        BitRange::readWord(m_sectorBitmap->getBitmap(), int64_t(page) * m_sectorsPerPage, m_sectorsPerPage) & all;
    // A page may hold the table when some sector of it is good.
    return AddressFactory::cfgTable8StepCheck(page) && bad != all;
}

Sptr<BlockSet> LowLevelFormatStep::setupSpecialBlockSet(int& page)
{
    CPLOG(7, "setup SpecialBlkSet");
    const int s = m_sectorsPerPage;
    BlockLists gathered(m_blockLists.size());
    // Nodes of each list copied so far: a list is in block order and the
    // bound only grows, so each block is copied once.
    std::vector<std::list<_BLOCK_NODE>::const_iterator> copied;
    for (const std::list<_BLOCK_NODE>& list : m_blockLists) {
        copied.push_back(list.begin());
    }
    Sptr<BlockSet> result;
    const int64_t pages = int64_t(m_diskBlockTotal) * m_pagesPerBlock;
    for (; page < kSpecialPageLimit && page < pages; ++page) {
        if (!isSatisfy(page)) {
            continue;
        }
        std::vector<char> marked(m_blockLists.size(), 0);
        const int64_t first = int64_t(page) * s;
        for (int start = 0; start < s;) {
            if (BitRange::test(m_sectorBitmap->getBitmap(), first + start)) {
                ++start;
                continue;
            }
            int run = 1;
            while (start + run < s && !BitRange::test(m_sectorBitmap->getBitmap(), first + start + run)) {
                ++run;
            }
            marked[static_cast<size_t>(start) * s] = 1;
            for (int j = 1; j <= run - 2; ++j) {
                marked[static_cast<size_t>(start) * s + j] = 1;
            }
            start += run;
        }
        const int blockLimit = (page + 256) / m_pagesPerBlock;
        for (size_t at = 0; at < marked.size(); ++at) {
            if (marked[at] == 0) {
                continue;
            }
            for (auto& it = copied[at]; it != m_blockLists[at].end() && it->blockNo < blockLimit; ++it) {
                gathered[at].push_back(*it);
            }
        }
        result = getMaxBlockSet(gathered);
        if (!result) {
            return result;
        }
    }
    return result;
}

Sptr<SetList> LowLevelFormatStep::setupSpecialSetList(int maxSets)
{
    UsbDevice* device = getDevice();
    TESSOR_ASSERT(device != nullptr);
    if (!m_sectorBitmap) {
        addSectorBitMap(device->getSectorBitmap());
    }
    Sptr<SetList> list(new SetList(device, "SetList"));
    const int64_t pages = int64_t(m_diskBlockTotal) * m_pagesPerBlock;
    bool placed = false;
    for (int page = 0; page < pages;) {
        Sptr<BlockSet> set = setupSpecialBlockSet(page);
        if (!set) {
            return {};
        }
        Sptr<PageBitmap> bitmap(new PageBitmap(device));
        device->setPageBitmap(bitmap);
        Sptr<AddressFactory> factory = addressFactoryOf(device);
        CPLOG(7, "Allocate Space");
        (void)bitmap->addBlockSet(set, *m_sectorBitmap);  // the set's pages are marked whatever it reports
        (void)bitmap->storeInBlockSet(set);  // allocateUDiskAddresses checks the same store
        if (placeSystemArea(factory, set)) {
            device->setAddress(factory);
            list->addData(set);
            logSet("setupSpecialSetList", 1, set);
            placed = true;
            break;
        }
        if (++page >= kSpecialPageLimit) {
            break;
        }
    }
    if (!placed) {
        return {};
    }
    for (int i = 1; i < maxSets; ++i) {
        Sptr<BlockSet> set = getMaxBlockSet(m_blockLists);
        if (!set) {
            break;
        }
        deleteBlocksFromList(m_blockLists);
        if (set->getBlocksCount() >= kMinSpecialLaterSetBlocks) {
            // The set's pages are marked whatever it reports.
            (void)device->getPageBitmap()->addBlockSet(set, *m_sectorBitmap);
            list->addData(set);
            logSet("setupSpecialSetList", i + 1, set);
        }
    }
    return list;
}

}  // namespace Tessor::usb
