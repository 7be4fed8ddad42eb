// Flash geometry of one device.
#pragma once

namespace Tessor::schema {

class DiskInfo {
public:
    DiskInfo() = default;
    DiskInfo(int chips, int blocks, int pages, int sectors)
        : m_chipsPerDisk(chips), m_blocksPerChip(blocks), m_pagesPerBlock(pages), m_sectorsPerPage(sectors)
    {
    }
    virtual ~DiskInfo() = default;

    int getChipsPerDisk() const { return m_chipsPerDisk; }
    int getBlocksPerChip() const { return m_blocksPerChip; }
    int getPagesPerBlock() const { return m_pagesPerBlock; }
    int getSectorsPerPage() const { return m_sectorsPerPage; }

    int getSectorsPerBlock() const { return m_sectorsPerPage * m_pagesPerBlock; }
    int getTotalBlocks() const { return m_blocksPerChip * m_chipsPerDisk; }
    int getTotalPages() const { return m_pagesPerBlock * m_blocksPerChip * m_chipsPerDisk; }
    int getTotalSectors() const { return m_sectorsPerPage * m_pagesPerBlock * m_blocksPerChip * m_chipsPerDisk; }

private:
    int m_chipsPerDisk = 0;
    int m_blocksPerChip = 0;
    int m_pagesPerBlock = 0;
    int m_sectorsPerPage = 0;
};

}  // namespace Tessor::schema
