// The index tables of one block set: a level-1 table naming the set's
// reserved blocks and the blocks of its level-2 tables, and level-2 tables
// listing its data blocks, 256 to a table. Building them takes their blocks
// out of the set, so it is left with data blocks only.
#pragma once

#include <cstdint>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/data/BaseCmdData.h"
#include "usb/cmd/IndexItem.h"

namespace Tessor::schema {
class BaseAddress;
}

namespace Tessor::usb {

class BlockSet;
class PageBitmap;

class IndexTable : public schema::BaseCmdData {
public:
    static constexpr int RESERVED_BLOCKS = 24;
    static constexpr int ENTRIES_PER_TABLE = 256;
    static constexpr int RECORD_COUNT = 10;
    static constexpr int RECORD_SIZE = 17;
    static constexpr int SET_NO_OFFSET = 507;
    static constexpr int MAGIC_OFFSET = 508;
    static constexpr uint32_t MAGIC = 0x68473512;

    IndexTable(schema::UsbDevice* device, Sptr<BlockSet> set);
    ~IndexTable() override = default;

    int myInit() override;
    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    [[nodiscard]] int validateFlash(schema::UsbDevice* device) override;

    [[nodiscard]] int createLevel2Table();
    [[nodiscard]] int createLevel1Table();
    Sptr<schema::BaseAddress> allocateAddress(int block);

    // Level-1 first, then the level-2 tables; empty when the set got none.
    const std::vector<Sptr<IndexItem>>& getItems() const { return m_items; }
    int getLevel2Count() const { return m_level2Count; }
    int getDataCount() const { return m_dataCount; }
    Sptr<BlockSet> getBlockSet() const { return m_blockSet; }

private:
    // The address the item is erased, written and read back at.
    Sptr<schema::BaseAddress> itemAddress(const Sptr<IndexItem>& item) const;
    [[nodiscard]] int writeItem(schema::UsbDevice* device, int n, const Sptr<IndexItem>& item);
    int fillLevel1Header(unsigned char* table, bool fw240);
    // Where the level-1 table's lists end; -1 when they do not fit before the set number.
    int level1End(bool fw240, bool blockMode) const;
    unsigned char setNo() const;

    std::vector<Sptr<IndexItem>> m_items;
    int32_t m_level2Count = 0;
    int32_t m_reservedCount = RESERVED_BLOCKS;
    int32_t m_dataCount = 0;
    Sptr<BlockSet> m_blockSet;
    Sptr<PageBitmap> m_pageBitmap;
};

}  // namespace Tessor::usb
