#include "usb/cmd/IndexTable.h"

#include <cstring>
#include <vector>

#include "platform/orrin/ByteOrder.h"
#include "platform/orrin/CeilDivide.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/TlcPages.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/PageBitmap.h"
#include "usb/cmd/PlaneLayout.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::usb {

namespace {

void putBe16(unsigned char* at, int value)
{
    reinterpret_cast<Be16*>(at)->set(static_cast<uint16_t>(value));
}

bool isFirmware240(schema::UsbDevice* device)
{
    Sptr<schema::VersionInfo> version = device->getVersion();
    // A device that never reported its version counts as the oldest firmware.
    return !version || version->getVersionNumber() == schema::VERSION_6706;
}

bool isTlc(schema::UsbDevice* device)
{
    Sptr<FlashInfo> flash = device->getFlashInfo();
    return flash && flash->getChipInfo()->TLC != 0;
}

}  // namespace

IndexTable::IndexTable(schema::UsbDevice* device, Sptr<BlockSet> set)
    : BaseCmdData(device, "IndexTable"), m_blockSet(set)
{
    init();
}

unsigned char IndexTable::setNo() const
{
    return static_cast<unsigned char>(m_blockSet->getIndex() & 0xFF);
}

int IndexTable::myInit()
{
    TESSOR_ASSERT(m_blockSet);
    TESSOR_ASSERT(m_device != nullptr);
    m_pageBitmap = m_device->getPageBitmap();
    m_items.clear();
    m_reservedCount = RESERVED_BLOCKS;
    const int spare = m_blockSet->getBlocksCount() - RESERVED_BLOCKS;
    m_level2Count = spare > 0 ? ceilDivide(spare, ENTRIES_PER_TABLE) : 0;
    m_dataCount = spare - 1 - m_level2Count;
    CPLOG(7, "Total %d Level-2 Index Tables for No. %d BlockSet", m_level2Count, m_blockSet->getIndex());
    if (m_dataCount <= 0) {
        CPLOG(4, "There are no enough space exist for block set");
        return 0;
    }
    if (level1End(isFirmware240(m_device), m_device->getConfigInfo() && m_device->getConfigInfo()->checkBlockMode()) <
        0) {
        CPLOG(3, "%d level-2 index tables of block set %d do not fit into its level-1 table", m_level2Count,
            m_blockSet->getIndex());
        return 0;
    }
    if (createLevel2Table() != 1 || createLevel1Table() != 1) {
        m_items.clear();
    }
    return 0;
}

int IndexTable::createLevel2Table()
{
    CPLOG(7, " before Level-2(zone) table, there are %d blocks", m_blockSet->getBlocksCount());
    // Each table's block leaves the set as it is taken, the one after it
    // taking its place; the walk reads the set as it was before the first.
    const std::vector<int> blocks = m_blockSet->getBlocks();
    const int count = static_cast<int>(blocks.size());
    // Every counted table is made, a trailing one possibly empty, so the
    // level-1 table never names a block that holds no table.
    int e = m_level2Count + RESERVED_BLOCKS + 1;
    for (int t = 0; t < m_level2Count; ++t) {
        Sptr<IndexItem> item(new IndexItem());
        const int block = RESERVED_BLOCKS + t < count ? blocks[size_t(RESERVED_BLOCKS + t)] : -1;
        Sptr<schema::BaseAddress> address = block >= 0 ? allocateAddress(block) : Sptr<schema::BaseAddress>();
        if (!address) {
            CPLOG(3, "No page for level-2 index table %d of block set %d: the set gets no index tables", t,
                m_blockSet->getIndex());
            return -1;
        }
        item->setBlockNo(block);
        item->setAddress(address);
        for (int entry = 0; entry < ENTRIES_PER_TABLE; ++entry, ++e) {
            if (e >= count) {
                CPLOG(4, "Block No. %d out of range %d", e - t, count - t);
                break;
            }
            putBe16(item->getTable() + 2 * entry, blocks[size_t(e)]);
        }
        CPLOG(7, "Level-2 index table are allocated at block address %d", block);
        m_blockSet->removeBlock(block);
        m_items.push_back(item);
    }
    return 1;
}

int IndexTable::level1End(bool fw240, bool blockMode) const
{
    const int header = fw240 ? 8 : 6;
    int end = header + RECORD_COUNT * RECORD_SIZE + 2 * RESERVED_BLOCKS + 2 * m_level2Count;
    if (!fw240) {
        end += m_level2Count;
        if (blockMode) {
            end += ceilDivide(2 * m_level2Count, 8);
        }
    }
    return end <= SET_NO_OFFSET ? end : -1;
}

int IndexTable::fillLevel1Header(unsigned char* table, bool fw240)
{
    std::memset(table, 0xFF, IndexItem::TABLE_SIZE);
    table[0] = static_cast<unsigned char>(m_reservedCount);
    table[1] = static_cast<unsigned char>(m_level2Count);
    table[2] = static_cast<unsigned char>(m_reservedCount);
    table[3] = RECORD_COUNT;
    table[4] = 0;
    table[5] = 0;
    return (fw240 ? 8 : 6) + RECORD_COUNT * RECORD_SIZE;
}

int IndexTable::createLevel1Table()
{
    Sptr<IndexItem> item(new IndexItem());
    Sptr<schema::BaseAddress> address;
    int block = -1;
    for (int i = RESERVED_BLOCKS; !address; ++i) {
        block = m_blockSet->getBlockNo(i);
        if (block < 0) {
            CPLOG(3, "No block of block set %d has a free page for its level-1 index table", m_blockSet->getIndex());
            return -1;
        }
        address = allocateAddress(block);
    }
    item->setBlockNo(block);
    item->setAddress(address);
    CPLOG(7, " Level-1 index table of BlockSet %d is allocated at block of %d", m_blockSet->getIndex(), block);

    const bool fw240 = isFirmware240(m_device);
    unsigned char* table = item->getTable();
    int at = fillLevel1Header(table, fw240);
    for (int r = 0; r < RESERVED_BLOCKS; ++r, at += 2) {
        const int reserved = m_blockSet->getBlockNo(0);
        putBe16(table + at, reserved);
        m_blockSet->removeBlock(reserved);
    }
    for (int n = 0; n < static_cast<int>(m_items.size()); ++n, at += 2) {
        CPLOG(7, "Allocate %d level-2(zones) table at block %d ", n, m_items[n]->getBlockNo());
        putBe16(table + at, m_items[n]->getBlockNo());
    }
    if (fw240) {
        putBe16(table + 6, at);
    } else {
        std::memset(table + at, 0, static_cast<size_t>(m_level2Count));
        at += m_level2Count;
        Sptr<schema::ConfigInfo> settings = m_device->getConfigInfo();
        if (settings && settings->checkBlockMode()) {
            // Two bits per level-2 table, all cleared; the unused bits of the last byte set.
            const int bits = 2 * m_level2Count;
            const int bytes = ceilDivide(bits, 8);
            std::memset(table + at, 0, static_cast<size_t>(bytes));
            if (bits % 8 != 0) {
                table[at + bytes - 1] = static_cast<unsigned char>(0xFF << (bits % 8));
            }
        }
    }
    table[SET_NO_OFFSET] = setNo();
    reinterpret_cast<Le32*>(table + MAGIC_OFFSET)->set(MAGIC);

    m_items.insert(m_items.begin(), item);
    m_blockSet->removeBlock(block);
    CPLOG(7, "After create Level-1(info) table, there are %d blocks remained", m_blockSet->getBlocksCount());
    return 1;
}

Sptr<schema::BaseAddress> IndexTable::allocateAddress(int block)
{
    CPLOG(7, "allocate pages in block of %d", block);
    TESSOR_ASSERT(m_device->getCurrentPlaneInfo());
    TESSOR_ASSERT(m_pageBitmap);
    // One address in every layout: the first usable page of the table's
    // block as the level-1 table names it. In block mode that is a
    // multi-plane block, and the table lies on its first plane of the first
    // chip and interleave, where the firmware booted from the block-mode
    // table reads the block's first pages.
    const int page = m_pageBitmap->findFreePageInBlock(block);
    if (page < 0) {
        CPLOG(3, "Free Page(%d) allocated failed in block of %d", page, block);
        return Sptr<schema::BaseAddress>();
    }
    const int flashBlock =
        PlaneLayout::isBlockModeMultiPlane(m_device) ? block * m_device->getCurrentPlaneInfo()->getPlanePerChip() : block;
    return Sptr<schema::BaseAddress>(new schema::BaseAddress(m_device, flashBlock, page, m_blockSet->getStartSector()));
}

Sptr<schema::BaseAddress> IndexTable::itemAddress(const Sptr<IndexItem>& item) const
{
    TESSOR_ASSERT(m_device->getCurrentPlaneInfo());
    Sptr<schema::BaseAddress> address = item->getAddress();
    TESSOR_ASSERT(address);
    return address;
}

int IndexTable::writeItem(schema::UsbDevice* device, int n, const Sptr<IndexItem>& item)
{
    Sptr<schema::BaseAddress> address = itemAddress(item);
    if (device->eraseOneBlock(address) != 0) {
        return -1;
    }
    const unsigned char* table = item->getTable();
    if (n == 0 && (isFirmware240(device) || !PlaneLayout::isSinglePlane(device))) {
        CPLOG(7, "The first index table of 6706 are write to %s", address->logData());
        if (device->writeL1IndexTable(address, setNo(), table) != 0) {
            CPLOG(3, "Write Block on %d for index table for device %s failed", address->getBlockNo(),
                device->getName());
            return -1;
        }
        return 0;
    }
    CPLOG(7, "Index table %d are write to %s", n, address->logData());
    if (isTlc(device)) {
        std::vector<TlcPages::Address> ownPages;
        for (const Sptr<IndexItem>& other : m_items) {
            ownPages.push_back(other->getAddress());
        }
        TlcPages::Address partner = TlcPages::_allocatAdd(device, ownPages, address);
        if (partner) {
            // The partner copy is not checked; the item's own write is.
            (void)device->writeFlashSectors(partner, 1, table);
        }
    }
    if (device->writeFlashSectors(address, 1, table) != 0) {
        CPLOG(3, "Write Block on %d for index table for device %s failed", address->getBlockNo(), device->getName());
        return -1;
    }
    return 0;
}

int IndexTable::writeFlash(schema::UsbDevice* device)
{
    for (int n = 0; n < static_cast<int>(m_items.size()); ++n) {
        if (writeItem(device, n, m_items[n]) != 0) {
            return -1;
        }
    }
    return 0;
}

int IndexTable::validateFlash(schema::UsbDevice* device)
{
    for (int n = 0; n < static_cast<int>(m_items.size()); ++n) {
        Sptr<schema::BaseAddress> address = itemAddress(m_items[n]);
        const unsigned char* read = device->readFlashSectors(address, 1);
        if (read == nullptr) {
            CPLOG(3, "Read Block from %d for index table for device %s failed", address->getBlockNo(),
                device->getName());
            return -1;
        }
        if (std::memcmp(read, m_items[n]->getTable(), IndexItem::TABLE_SIZE) != 0) {
            CPLOG(3, "Index Table %d validate failed", n);
            schema::SystemInfo::debugBuffer(read, IndexItem::TABLE_SIZE, "Read out Index Table");
            return -1;
        }
        CPLOG(5, "Index Table %d validate OK", n);
    }
    return 0;
}

}  // namespace Tessor::usb
