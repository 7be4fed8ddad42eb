#include "usb/cmd/BlockSet.h"

#include <iterator>

#include "schema/base/Log.h"

namespace Tessor::usb {

BlockSet::BlockSet(const BitmapGeometry& geometry, const std::string& name) : m_name(name), m_geometry(geometry)
{
    init();
}

int BlockSet::init()
{
    m_diskBlockTotal = m_geometry.totalBlocks();
    m_validateBlockCount = 0;
    m_validatePagePerBlock = m_geometry.pagesPerBlock;
    m_startSector = 0;
    m_sectorCount = static_cast<uint8_t>(m_geometry.sectorsPerPage);
    return 1;
}

void BlockSet::addBlock(int key, int blockNo)
{
    m_blocks[key] = blockNo;
    ++m_validateBlockCount;
}

void BlockSet::removeBlock(int blockNo)
{
    for (auto it = m_blocks.begin(); it != m_blocks.end(); ++it) {
        if (it->second == blockNo) {
            m_blocks.erase(it);
            --m_validateBlockCount;
            return;
        }
    }
    CPLOG(4, "not found Block with blockNo of %d when remove", blockNo);
}

int BlockSet::getBlockNo(int index) const
{
    if (index < 0 || index >= getBlocksCount()) {
        return -1;
    }
    return std::next(m_blocks.begin(), index)->second;
}

void BlockSet::debug()
{
    // Lines for the shared debug text; printed by the set list.
    CPLOG(7, "\t\tValidateBlockCount \t\t: %d\n", m_validateBlockCount);
    CPLOG(7, "\t\tValidatePagePerBlock \t: %d\n", m_validatePagePerBlock);
    CPLOG(7, "\t\tStartSector \t\t\t: %d\n", m_startSector);
    CPLOG(7, "\t\tSectorCount \t\t\t: %d\n", m_sectorCount);
}

}  // namespace Tessor::usb
