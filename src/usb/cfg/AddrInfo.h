// A request for pages of one block: how many, and whether the first page
// taken must be one where a configuration table may stand.
#pragma once

#include <cstdint>

namespace Tessor::usb {

class AddrInfo {
public:
    AddrInfo(int blockCount, int pagesCount, bool isCfgBlock)
        : m_isCfgBlock(isCfgBlock), m_blockCount(blockCount), m_pagesCount(pagesCount)
    {
    }

    bool getIsCfgBlock() const { return m_isCfgBlock; }
    int getBlockCount() const { return m_blockCount; }
    int getPagesCount() const { return m_pagesCount; }

private:
    bool m_isCfgBlock;
    int32_t m_blockCount;
    int32_t m_pagesCount;
};

}  // namespace Tessor::usb
