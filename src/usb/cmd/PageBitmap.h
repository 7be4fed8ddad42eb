// Which pages of the flash the device may use: one bit per page of every
// block, 1 = must not be used. Written to the flash with the system area.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseCmdData.h"
#include "usb/cmd/BitmapGeometry.h"

namespace Tessor::usb {

class BlockSet;
class SectorBitmap;

// The most blocks of block set 0 the stored bitmap may take.
constexpr int kPageBitmapMaxBlocks = 16;

class PageBitmap : public schema::BaseCmdData {
public:
    explicit PageBitmap(schema::UsbDevice* device);
    // A bitmap without a device, laid out by the given geometry.
    explicit PageBitmap(const BitmapGeometry& geometry);
    ~PageBitmap() override = default;

    unsigned char* getBitmap() { return reinterpret_cast<unsigned char*>(m_buffer.data()); }
    const unsigned char* getBitmap() const { return reinterpret_cast<const unsigned char*>(m_buffer.data()); }

    void updatePageBitmapFromBlockSet(const Sptr<BlockSet>& set, int planes);
    [[nodiscard]] int addBlockSet(const Sptr<BlockSet>& set, const SectorBitmap& sectorBitmap);
    // -1 when the bitmap needs more than kPageBitmapMaxBlocks blocks of the set.
    [[nodiscard]] int storeInBlockSet(const Sptr<BlockSet>& set);
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
    const BitmapGeometry& getGeometry() const { return m_geometry; }

    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    [[nodiscard]] int validateFlash(schema::UsbDevice* device) override;
    int myInit() override;

private:
    bool holdsBlock(int block) const;
    // 0 when the pages reserved on the flash match the pages needed; a
    // mismatch fails only when strict.
    int checkReservedPages(bool strict) const;

    BitmapGeometry m_geometry;
    int m_blockSetCount = 0;
    int m_blocksNeeded = 0;
    int m_pagesNeeded = 0;
    int m_sectorsPerStoredPage = 0;  // sectors per page of block set 0
};

}  // namespace Tessor::usb
