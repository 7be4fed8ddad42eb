#include "usb/cmd/BlockSet.h"

#include <iterator>

#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/DiskInfo.h"

namespace Tessor::usb {

BlockSet::BlockSet(schema::UsbDevice* device, const std::string& name) : BaseData(device, name)
{
    init();
}

BlockSet::BlockSet(const std::string& name) : BaseData(name)
{
    init();
}

int BlockSet::init()
{
    const bool hasGeometry = static_cast<bool>(m_diskInfo);
    m_diskBlockTotal = hasGeometry ? m_diskInfo->getTotalBlocks() : 0;
    m_validateBlockCount = 0;
    m_validatePagePerBlock = hasGeometry ? m_diskInfo->getPagesPerBlock() : 0;
    m_startSector = 0;
    m_sectorCount = static_cast<uint8_t>(hasGeometry ? m_diskInfo->getSectorsPerPage() : 0);
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

std::vector<int> BlockSet::getBlocks() const
{
    std::vector<int> blocks;
    blocks.reserve(m_blocks.size());
    for (const auto& [position, block] : m_blocks) {
        blocks.push_back(block);
    }
    return blocks;
}

void BlockSet::debug()
{
    schema::SystemInfo::debug("\t\tValidateBlockCount \t\t: %d\n", m_validateBlockCount);
    schema::SystemInfo::debug("\t\tValidatePagePerBlock \t: %d\n", m_validatePagePerBlock);
    schema::SystemInfo::debug("\t\tStartSector \t\t\t: %d\n", m_startSector);
    schema::SystemInfo::debug("\t\tSectorCount \t\t\t: %d\n", m_sectorCount);
}

}  // namespace Tessor::usb
