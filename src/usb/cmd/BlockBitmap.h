// Map of good and bad blocks of one device, judged from its sector bitmap:
// one bit per block, 1 = bad.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseCmdData.h"
#include "usb/cmd/BitmapGeometry.h"

namespace Tessor::schema {
class BaseAddress;
}

namespace Tessor::usb {

class BlockSet;
class SectorBitmap;

class BlockBitmap : public schema::BaseCmdData {
public:
    explicit BlockBitmap(SectorBitmap* sectorBitmap);
    ~BlockBitmap() override = default;
    BlockBitmap(const BlockBitmap&) = delete;
    BlockBitmap& operator=(const BlockBitmap&) = delete;

    unsigned char* getBitmap() { return reinterpret_cast<unsigned char*>(m_buffer.data()); }
    const unsigned char* getBitmap() const { return reinterpret_cast<const unsigned char*>(m_buffer.data()); }

    [[nodiscard]] int update(schema::UsbDevice* device) override;
    [[nodiscard]] virtual int updateTLC(schema::UsbDevice* device);
    // Judging by a scan priority, the form the sector bitmap's clean-up uses.
    int judgeBlocks(int priority);
    int judgeTlcBlocks(int priority);
    using BaseCmdData::setAsBad;
    virtual void setAsBad(int block);
    bool isBad(int block) const;
    int findFirstFreeBlock() const;
    int getValideBlocks() const { return m_totalBlocks - m_badBlockCount; }
    int getBlockLen() const { return m_totalBlocks; }

    Sptr<schema::BaseAddress> allocateAddresses(int block);
    Sptr<schema::BaseAddress> allocateBlockAddresses(int n);

    void addIntoBlockSet(const Sptr<BlockSet>& set);
    [[nodiscard]] int addIntoBlockSetInSinglePlaneMode(const Sptr<BlockSet>& set, int planesPerChip, int groups);
    [[nodiscard]] int addIntoBlockSetInMultiPlaneMode(const Sptr<BlockSet>& set, int planesPerChip, int groups);
    [[nodiscard]] int setToMultiPlane(schema::UsbDevice* device);
    int singlePlane2MultiPlane(int planesPerChip, int groups, unsigned char* out) const;
    int MultiPlane2singlePlane(int planesPerChip, int groups, unsigned char* out) const;

    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    int myInit() override;
    int myInitLater() override;

private:
    void judge(int firstBlock, int blocks, int64_t sectorsJudged);
    bool planesFit(int planesPerChip, int groups) const;
    [[nodiscard]] int replaceBy(int planesPerChip, int groups, bool fold);
    // lineFormat logs each block loaded; it takes the block number.
    void fillSet(const Sptr<BlockSet>& set, int blocks, int pagesPerBlock, const char* lineFormat);
    Sptr<schema::BaseAddress> addressOf(int block, int sectorInBlock) const;

    SectorBitmap* m_sectorBitmap;  // owns this bitmap
    BitmapGeometry m_geometry;
    int m_badBlockCount = 0;
    int m_totalBlocks = 0;
};

}  // namespace Tessor::usb
