// What the photo frame's tables can describe, and how photos are placed.
#pragma once

namespace Tessor::usb {

// A photo is 128 x 128 pixels of 16 bits.
constexpr int kPhotoSectors = 64;
// The photo zone words of the configuration table count at most 2047.
constexpr int kMaxPhotos = 2047;
// The e-book directory has 64 entries, the last one ends the list.
constexpr int kMaxBooks = 63;
// Book data goes to the flash in writes of at most 64 KiB.
constexpr int kBookChunk = 128;

struct SlotPlace {
    int block;   // in the photo area's block list
    int sector;  // within that block
};

// Photo slot j: S / 64 slots to a block, or one slot over 64 / S blocks
// when blocks are smaller than a photo.
inline SlotPlace photoSlot(int j, int sectorsPerBlock)
{
    const int perBlock = sectorsPerBlock / kPhotoSectors;
    if (perBlock == 0) {
        return {j * (kPhotoSectors / sectorsPerBlock), 0};
    }
    return {j / perBlock, kPhotoSectors * (j % perBlock)};
}

}  // namespace Tessor::usb
