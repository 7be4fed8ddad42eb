// One flash position: chip, block within the chip, page within the block,
// sector within the page. Every way of building one ends in that form.
#pragma once

#include "schema/data/BaseData.h"

namespace Tessor::schema {

class BaseAddress : public BaseData {
public:
    // block counts over the whole disk; it is split into chip and block.
    BaseAddress(UsbDevice* device, int block, int page, int sector);
    explicit BaseAddress(Sptr<BaseAddress> other);
    // Device-less address of linear sector n; it keeps the geometry given.
    BaseAddress(Sptr<DiskInfo> geometry, int n);
    BaseAddress(const BaseAddress& other);
    BaseAddress& operator=(const BaseAddress& other);
    ~BaseAddress() override;

    int init() override;
    void myLog() override;

    int getChipNo() const { return m_chip; }
    int getBlockNo() const { return m_block; }
    int getPageNo() const { return m_page; }
    void setPageNo(int page) { m_page = page; }
    int getSectorNo() const { return m_sector; }
    void setSectorNo(int sector) { m_sector = sector; }
    // b counts over the whole disk.
    void setBlockNo(int b);
    // Device-wide linear sector number.
    int getPhyAddress() const;

private:
    Sptr<DiskInfo> geometry() const;
    void splitDiskBlock(int diskBlock);

    int m_chip = 0;
    int m_block = 0;
    int m_page = 0;
    int m_sector = 0;
};

}  // namespace Tessor::schema
