// Map of good and bad blocks of one device, judged from its sector bitmap:
// one bit per block, 1 = bad.
#pragma once

#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "usb/cmd/BitmapGeometry.h"

namespace Tessor::usb {

class BlockSet;
class SectorBitmap;

class BlockBitmap {
public:
    explicit BlockBitmap(SectorBitmap* sectorBitmap);
    virtual ~BlockBitmap() = default;
    BlockBitmap(const BlockBitmap&) = delete;
    BlockBitmap& operator=(const BlockBitmap&) = delete;

    unsigned char* getBuffer() { return m_bits.data(); }
    int getLength() const { return m_length; }
    void setAsGood();

    int update(int priority);
    int updateTLC(int priority);
    virtual void setAsBad(int block);
    bool isBad(int block) const;
    int findFirstFreeBlock() const;
    int getValideBlocks() const { return m_totalBlocks - m_badBlockCount; }
    int getBlockLen() const { return m_totalBlocks; }

    // The first good sector of the block, which becomes this bitmap's own
    // place; the block is taken in both bitmaps. -1 when it has none.
    int allocateSector(int block);
    // n good blocks (at least one) past the first 11, taken in both bitmaps;
    // empty when the flash runs out first.
    std::vector<int> allocateBlocks(int n);

    void addIntoBlockSet(const Sptr<BlockSet>& set);
    int addIntoBlockSetInSinglePlaneMode(const Sptr<BlockSet>& set, int planesPerChip, int groups);
    int addIntoBlockSetInMultiPlaneMode(const Sptr<BlockSet>& set, int planesPerChip, int groups);
    int setToMultiPlane(int planesPerChip, int groups);
    int singlePlane2MultiPlane(int planesPerChip, int groups, unsigned char* out) const;
    int MultiPlane2singlePlane(int planesPerChip, int groups, unsigned char* out) const;

private:
    void judge(int firstBlock, int blocks, int64_t sectorsJudged);
    bool planesFit(int planesPerChip, int groups) const;
    void fillSet(const Sptr<BlockSet>& set, int blocks, int pagesPerBlock);

    SectorBitmap* m_sectorBitmap;  // owns this bitmap
    BitmapGeometry m_geometry;
    int m_badBlockCount = 0;
    int m_totalBlocks = 0;
    int m_spanBytes = 0;
    int m_length = 0;
    std::vector<unsigned char> m_bits;
};

}  // namespace Tessor::usb
