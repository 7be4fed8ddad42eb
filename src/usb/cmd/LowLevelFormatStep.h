// Groups the good blocks the scan left into block sets: the run of sectors
// in a page and the pages per block that offer the most sectors, taken from
// every block that can supply them, then again on the blocks left over. The
// first set accepted holds the system area.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/data/BaseCmdData.h"
#include "usb/cmd/BlockNode.h"

namespace Tessor::usb {

class AddressFactory;
class BlockSet;
class SectorBitmap;
class SetList;

// Cell (start sector r, run length c + 1) of an S x S matrix at r * S + c.
using BlockLists = std::vector<std::list<_BLOCK_NODE>>;

// Blocks of one page-count histogram; longer blocks cannot be grouped.
constexpr int kMaxGroupedPagesPerBlock = 256;

class LowLevelFormatStep : public schema::BaseCmdData {
public:
    LowLevelFormatStep(schema::UsbDevice* device, const std::string& name);
    ~LowLevelFormatStep() override;

    int init() override;
    int myInit() override { return 0; }
    int myInitLater() override { return 0; }
    [[nodiscard]] int writeFlash(schema::UsbDevice* /*device*/) override { return 0; }

    int addSectorBitMap(Sptr<SectorBitmap> bitmap);
    // 0, or -1 when no set list holding the system area could be built.
    [[nodiscard]] virtual int setupSetList(int maxSets);
    Sptr<SetList> getSetList() const { return m_setList; }
    // Why no set could hold the system area, when that is known; else empty.
    const std::string& getRefusal() const { return m_refusal; }
    Sptr<SetList> setupNormalSetList(int maxSets);
    // Its first set starts at a page that may hold the configuration table.
    Sptr<SetList> setupSpecialSetList(int maxSets);

    virtual Sptr<BlockSet> getMaxBlockSet(BlockLists& lists);
    // The page count p that maximises p x (nodes with at least p pages),
    // ties to the larger p; 0 with the outputs untouched for an empty list.
    int GetOptimizePage(const std::list<_BLOCK_NODE>* list, int& pages, int& total) const;
    int deleteBlocksFromList(BlockLists& lists) const;
    Sptr<BlockSet> setupSpecialBlockSet(int& page);
    virtual bool isSatisfy(int page);

    BlockLists& getBlockLists() { return m_blockLists; }

private:
    [[nodiscard]] int setupBlockModeSetList();
    // The system area placed in `set`; when it is not, why is kept.
    [[nodiscard]] bool placeSystemArea(const Sptr<AddressFactory>& factory, const Sptr<BlockSet>& set);
    std::list<_BLOCK_NODE>& cell(BlockLists& lists, int row, int col) const
    {
        return lists[static_cast<size_t>(row) * m_sectorsPerPage + col];
    }
    void logTables(const std::vector<int>& pages, const std::vector<int>& sectors) const;
    void logSet(const char* builder, int number, const Sptr<BlockSet>& set) const;

    int m_pagesPerBlock = 0;
    int m_sectorsPerPage = 0;
    int m_sectorsPerBlock = 0;
    int m_diskBlockTotal = 0;
    std::vector<int> m_blockUsed;
    BlockLists m_blockLists;
    Sptr<SetList> m_setList;
    Sptr<SectorBitmap> m_sectorBitmap;
    std::string m_refusal;
};

}  // namespace Tessor::usb
