#include "usb/cmd/FlagPageBitmap.h"

#include <cstring>

#include "schema/base/Log.h"
#include "schema/base/VException.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/SectorBitmap.h"

namespace Tessor::usb {

FlagPageBitmap::FlagPageBitmap(Sptr<PageBitmap> pageBitmap, bool factoryFunction)
    : m_pageBitmap(pageBitmap)
{
    CPLOG(7, "%s init", "FlagPageBitmap");
    m_length = kTableBytes;
    if (factoryFunction && m_pageBitmap) {
        const int blocks = m_pageBitmap->getLengthOfBlock();
        const int length = m_pageBitmap->getPageBitmapLengthOfBlock() * blocks;
        if (length != kTableBytes) {
            CPLOG(4, "Page Bitmap of %d block have length of %d bytes which is not same as one sector", blocks, length);
        }
        if (length > kTableBytes) {
            throw BitmapException("Bad blocks too much!", __FILE__, __LINE__, kBadBlocksTooMuch);
        }
    }
    m_table.assign(kTableBytes, 0xFF);
}

int FlagPageBitmap::rebuild(const std::vector<int>& storedBlocks)
{
    const int blockBytes = m_pageBitmap->getPageBitmapLengthOfBlock();
    std::memset(m_table.data(), 0, m_table.size());
    int position = 0;
    int lastBlock = -1;
    for (int block : storedBlocks) {
        if (block == lastBlock) {
            continue;
        }
        if (position + blockBytes > m_length) {
            CPLOG(3, "Address(Block) have so  much address can be obtained for Flag table");
            return -1;
        }
        std::memcpy(m_table.data() + position, m_pageBitmap->getPageBitmapOfBlock(block),
            static_cast<size_t>(blockBytes));
        position += blockBytes;
        lastBlock = block;
    }
    return 0;
}

}  // namespace Tessor::usb
