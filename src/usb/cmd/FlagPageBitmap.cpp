#include "usb/cmd/FlagPageBitmap.h"

#include <cstring>

#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/base/VException.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/SectorBitmap.h"

namespace Tessor::usb {

FlagPageBitmap::FlagPageBitmap(Sptr<PageBitmap> pageBitmap)
    : BaseCmdData(pageBitmap ? pageBitmap->getDevice() : nullptr, "FlagPageBitmap"), m_pageBitmap(pageBitmap)
{
    init();
}

FlagPageBitmap::FlagPageBitmap(schema::UsbDevice* device, const void* raw)
    : BaseCmdData(device, "FlagPageBitmap(r)"), m_pageBitmap(device->getPageBitmap())
{
    init();
    if (raw == nullptr) {
        CPLOG(4, "raw data for %s is NULL", getName());
        return;
    }
    std::memcpy(m_buffer.data(), raw, SECTOR_BYTES);
}

int FlagPageBitmap::myInit()
{
    CPLOG(7, "%s init", getName());
    m_length = SECTOR_BYTES;
    if (schema::UsbConfiguration::instance()->getCurrentFunction() != schema::FUNCTION_FACTORY) {
        return 0;
    }
    TESSOR_ASSERT(m_pageBitmap);
    const int blocks = m_pageBitmap->getLengthOfBlock();
    const int length = m_pageBitmap->getPageBitmapLengthOfBlock() * blocks;
    if (length != SECTOR_BYTES) {
        CPLOG(4, "Page Bitmap of %d block have length of %d bytes which is not same as one sector", blocks, length);
    }
    if (length > SECTOR_BYTES) {
        throw BitmapException("Bad blocks too much!", __FILE__, __LINE__, schema::DeviceCode::TOO_MANY_BAD_BLOCKS);
    }
    return 0;
}

int FlagPageBitmap::update(schema::UsbDevice* /*device*/)
{
    Sptr<schema::BaseAddress> pages = m_pageBitmap ? m_pageBitmap->getAddress() : Sptr<schema::BaseAddress>();
    if (!pages) {
        CPLOG(4, "Address(Block) have not allocated for Page Bitmap, so no data can be obtained for Flag table");
        return -1;
    }
    const int blocksPerChip = m_pageBitmap->getGeometry().blocksPerChip;
    std::vector<int> blocks;
    Sptr<schema::BaseData> child;
    while ((child = pages->getNextData(child))) {
        Sptr<schema::BaseAddress> page = child;
        TESSOR_ASSERT(page);
        blocks.push_back(page->getChipNo() * blocksPerChip + page->getBlockNo());
    }
    return rebuild(blocks);
}

int FlagPageBitmap::rebuild(const std::vector<int>& storedBlocks)
{
    const int blockBytes = m_pageBitmap->getPageBitmapLengthOfBlock();
    std::memset(m_buffer.data(), 0, m_buffer.size());
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
        std::memcpy(m_buffer.data() + position, m_pageBitmap->getPageBitmapOfBlock(block),
            static_cast<size_t>(blockBytes));
        position += blockBytes;
        lastBlock = block;
    }
    return 0;
}

int FlagPageBitmap::writeFlash(schema::UsbDevice* device)
{
    Sptr<schema::BaseAddress> own = getAddress();
    if (!own) {
        CPLOG(3, "Address is not allocated for Flag Bitmap, so write to flash failed");
        return -1;
    }
    CPLOG(5, "Flag Table write flash at %s", own->logData());
    if (device->writeFlashSectors(own, 1, getBitmap()) != 0) {
        CPLOG(3, "Write Flag Bitmap on %d of device %s failed", own->getBlockNo(), device->getName());
        schema::SystemInfo::debugBuffer(getBitmap(), m_length, "Dump Flag-Table");
        return -1;
    }
    return 0;
}

int FlagPageBitmap::validateFlash(schema::UsbDevice* device)
{
    Sptr<schema::BaseAddress> own = getAddress();
    if (!own) {
        CPLOG(3, "Address is not allocated for Flag Bitmap, so validate flag table failed");
        return -1;
    }
    const unsigned char* read = device->readFlashSectors(own, 1);
    if (read == nullptr) {
        CPLOG(3, "Read out Flag-Table failed");
        return -1;
    }
    if (std::memcmp(read, getBitmap(), SECTOR_BYTES) != 0) {
        CPLOG(3, "Flag Table on %s differs from the flash", own->logData());
        schema::SystemInfo::debugBuffer(read, SECTOR_BYTES, "Read out Flag-Table");
        return -1;
    }
    CPLOG(5, "Flag Table validate OK!");
    return 0;
}

int FlagPageBitmap::write()
{
    return BaseCmdData::writeFlash();
}

}  // namespace Tessor::usb
