// Map of good and bad sectors of one device's flash: one bit per sector,
// 1 = bad. The scan ORs its results in; `update` cleans it up afterwards and
// rebuilds the block bitmap from it.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "usb/cmd/BitmapGeometry.h"
#include "usb/cmd/BlockNode.h"

namespace Tessor::usb {

class BlockBitmap;

// Device error of a flash the bitmaps cannot describe.
constexpr int kBadBlocksTooMuch = 0x8021;

class SectorBitmap {
public:
    // Throws BitmapException (code kBadBlocksTooMuch) for a geometry the
    // bitmaps cannot handle, so that only this device fails.
    SectorBitmap(const BitmapGeometry& geometry, const std::string& name);
    virtual ~SectorBitmap();
    SectorBitmap(const SectorBitmap&) = delete;
    SectorBitmap& operator=(const SectorBitmap&) = delete;

    const std::string& getName() const { return m_name; }
    const BitmapGeometry& getGeometry() const { return m_geometry; }
    unsigned char* getBuffer() const { return m_buffer; }
    int getLength() const { return m_length; }
    int getImageSectorCount() const { return m_imageSectorCount; }
    int getL2SectorCount() const { return m_l2SectorCount; }

    void setAsGood();
    int updateBitmap(const unsigned char* buffer, int length, int startSector);
    virtual void setAsBad(int block);
    unsigned char* getBitmapOfBlock(int block) const;
    int getLength4BitmapOfBlock() const;
    int getValideSectors() const;
    std::list<_BLOCK_NODE>* getList() { return m_blockLists.data(); }
    Sptr<BlockBitmap> getBlockBitmap() const { return m_blockBitmap; }

    // Post-scan clean-up by the rules of the scan priority and the flash type.
    int update(int priority);
    void setupList();

    int setToMultiPlane(int planesPerChip, int groups);
    void setToSinglePlane();
    int singlePlane2MultiPlane(int planesPerChip, int groups, unsigned char* out) const;

private:
    void judgeFirstPages(int dataPages);
    int64_t applyWholeBlockRule(int priority);
    void applyWholePageRule(int priority, int64_t badTotal);
    void applyTlcPageRule();
    void widenBadPages();
    int parseOneBlock(int* matrix, int blockBytes, const unsigned char* blockBits, unsigned short sectorsPerPage) const;
    void parseSectBitmapOfPage(unsigned short pageBits, int* matrix, int sectorsPerPage) const;

    std::string m_name;
    BitmapGeometry m_geometry;
    int m_length = 0;
    int m_imageSectorCount = 0;
    int m_l2SectorCount = 0;
    std::vector<unsigned char> m_headerBuffer;
    std::vector<unsigned char> m_singlePlane;
    std::vector<unsigned char> m_multiPlane;  // made on the first multi-plane view
    unsigned char* m_buffer = nullptr;       // the view in use
    Sptr<BlockBitmap> m_blockBitmap;
    std::vector<std::list<_BLOCK_NODE>> m_blockLists;
};

}  // namespace Tessor::usb
