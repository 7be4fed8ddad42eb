// One 512-byte index table and the block that holds it.
#pragma once

#include <cstdint>

#include "schema/data/BaseData.h"

namespace Tessor::usb {

class IndexItem : public schema::BaseData {
public:
    static constexpr int TABLE_SIZE = 512;

    IndexItem();
    ~IndexItem() override = default;

    int init() override;

    int getBlockNo() const { return m_blockNo; }
    void setBlockNo(int block) { m_blockNo = static_cast<uint16_t>(block); }
    unsigned char* getTable() { return m_table; }
    const unsigned char* getTable() const { return m_table; }

private:
    uint16_t m_blockNo = 0;
    unsigned char m_table[TABLE_SIZE] = {};
};

}  // namespace Tessor::usb
