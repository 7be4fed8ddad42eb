// A group of good blocks used alike: each gives the same number of pages and,
// in each page, the same run of sectors.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "schema/data/BaseData.h"

namespace Tessor::usb {

class BlockSet : public schema::BaseData {
public:
    BlockSet(schema::UsbDevice* device, const std::string& name);
    // Without a device the geometry fields stay 0.
    explicit BlockSet(const std::string& name);
    ~BlockSet() override = default;

    int init() override;
    void debug() override;
    virtual int write() { return 0; }

    void addBlock(int key, int blockNo);
    void removeBlock(int blockNo);
    int getBlockNo(int index) const;
    // The block numbers in set order, for walks over the whole set.
    std::vector<int> getBlocks() const;
    int getBlocksCount() const { return static_cast<int>(m_blocks.size()); }
    int getValidateBlockCount() const { return m_validateBlockCount; }

    int getStartSector() const { return m_startSector; }
    void setStartSector(int sector) { m_startSector = static_cast<uint8_t>(sector); }
    int getSectorCount() const { return m_sectorCount; }
    void setSectorCount(int count) { m_sectorCount = static_cast<uint8_t>(count); }
    int getPagesCountEveryBlock() const { return m_validatePagePerBlock; }
    void setPagesCountEveryBlock(int pages) { m_validatePagePerBlock = pages; }
    int getPageSize() const { return m_sectorCount * 512; }
    int getBlockSize() const { return m_sectorCount * m_validatePagePerBlock * 512; }

private:
    int32_t m_validateBlockCount = 0;
    int32_t m_validatePagePerBlock = 0;
    uint8_t m_startSector = 0;
    uint8_t m_sectorCount = 0;
    std::map<int32_t, int32_t> m_blocks;  // position in the set -> block number
    int32_t m_diskBlockTotal = 0;
};

}  // namespace Tessor::usb
