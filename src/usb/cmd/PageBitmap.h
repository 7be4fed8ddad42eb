// Which pages of the flash the device may use: one bit per page of every
// block, 1 = must not be used. Written to the flash with the system area.
#pragma once

#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "usb/cmd/BitmapGeometry.h"

namespace Tessor::usb {

class BlockSet;
class SectorBitmap;

// The most blocks of block set 0 the stored bitmap may take.
constexpr int kPageBitmapMaxBlocks = 16;

class PageBitmap {
public:
    explicit PageBitmap(const BitmapGeometry& geometry);
    virtual ~PageBitmap() = default;

    unsigned char* getBuffer() { return m_bits.data(); }
    int getLength() const { return m_length; }

    void updatePageBitmapFromBlockSet(const Sptr<BlockSet>& set, int planes);
    int addBlockSet(const Sptr<BlockSet>& set, const SectorBitmap& sectorBitmap);
    int storeInBlockSet(const Sptr<BlockSet>& set);
    // Marks the pages of a block usable (the blocks that hold this bitmap).
    void releaseBlock(int block);

    unsigned char* getPageBitmapOfBlock(int block);
    int getPageBitmapLengthOfBlock() const { return (m_geometry.pagesPerBlock + 7) / 8; }
    int findFreePageInBlock(int block) const;
    // The n-th usable page (from 0) of the block, -1 when it has fewer.
    int findFreePage(int block, int n) const;
    int getLengthOfPage() const { return m_pagesNeeded; }
    int getLengthOfBlock() const { return m_blocksNeeded; }
    int getBlockSetCount() const { return m_blockSetCount; }

private:
    bool holdsBlock(int block) const;

    BitmapGeometry m_geometry;
    int m_blockSetCount = 0;
    int m_blocksNeeded = 0;
    int m_pagesNeeded = 0;
    int m_length = 0;
    std::vector<unsigned char> m_bits;
};

}  // namespace Tessor::usb
