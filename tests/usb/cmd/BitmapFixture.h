// Small flash geometries and helpers to mark sectors in a sector bitmap.
#pragma once

#include "usb/cmd/BitRange.h"
#include "usb/cmd/BitmapGeometry.h"
#include "usb/cmd/SectorBitmap.h"

namespace Tessor::usb::test {

inline BitmapGeometry geometry(int chips, int blocks, int pages, int sectors)
{
    BitmapGeometry g;
    g.chips = chips;
    g.blocksPerChip = blocks;
    g.pagesPerBlock = pages;
    g.sectorsPerPage = sectors;
    return g;
}

inline BitmapGeometry tlcGeometry(int chips, int blocks, int realBlocks, int pages, int realPages, int sectors)
{
    BitmapGeometry g = geometry(chips, blocks, pages, sectors);
    g.tlc = true;
    g.realBlocksPerChip = realBlocks;
    g.realPagesPerBlock = realPages;
    return g;
}

inline int64_t sectorOf(const SectorBitmap& bitmap, int block, int page, int sector)
{
    const BitmapGeometry& g = bitmap.getGeometry();
    return (int64_t(block) * g.pagesPerBlock + page) * g.sectorsPerPage + sector;
}

inline void markBad(SectorBitmap& bitmap, int block, int page, int sector)
{
    BitRange::set(bitmap.getBitmap(), sectorOf(bitmap, block, page, sector));
}

inline bool isBad(const SectorBitmap& bitmap, int block, int page, int sector)
{
    return BitRange::test(bitmap.getBitmap(), sectorOf(bitmap, block, page, sector));
}

inline int64_t badInBlock(const SectorBitmap& bitmap, int block)
{
    const BitmapGeometry& g = bitmap.getGeometry();
    return BitRange::countSet(bitmap.getBitmap(), g.firstSectorOfBlock(block), g.sectorsPerBlock());
}

}  // namespace Tessor::usb::test
