// Map of good and bad sectors of one device's flash: one bit per sector,
// 1 = bad. The scan ORs its results in; `update` cleans it up afterwards and
// rebuilds the block bitmap from it.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/data/BaseCmdData.h"
#include "usb/cmd/BitmapGeometry.h"
#include "usb/cmd/BlockNode.h"

namespace Tessor::schema {
class BaseAddress;
}

namespace Tessor::usb {

class BlockBitmap;
struct SectorBitmapImageHeader;

class SectorBitmap : public schema::BaseCmdData {
public:
    // Both throw BitmapException (code DeviceCode::SCAN_BITMAP_FAILED) for a
    // geometry the bitmap cannot map, so that only this device fails.
    SectorBitmap(schema::UsbDevice* device, const std::string& name);
    // A bitmap without a device, laid out by the given geometry.
    SectorBitmap(const BitmapGeometry& geometry, const std::string& name);
    // Rebuilt from the device's flash, from the image whose header sector is
    // given; a sector that cannot be read counts as all bad. Throws
    // BitmapException (code DeviceCode::SCAN_FAILED) for counts that cannot
    // describe this flash's bitmap.
    SectorBitmap(schema::UsbDevice* device, const SectorBitmapImageHeader& header);
    ~SectorBitmap() override;
    SectorBitmap(const SectorBitmap&) = delete;
    SectorBitmap& operator=(const SectorBitmap&) = delete;

    const BitmapGeometry& getGeometry() const { return m_geometry; }
    unsigned char* getBitmap() { return reinterpret_cast<unsigned char*>(m_buffer.data()); }
    const unsigned char* getBitmap() const { return reinterpret_cast<const unsigned char*>(m_buffer.data()); }
    int getImageSectorCount() const { return m_imageSectorCount; }
    int getL2SectorCount() const { return m_l2SectorCount; }

    [[nodiscard]] int readOutDataFromFile(const std::string& fileName);
    [[nodiscard]] int updateBitmap(const unsigned char* buffer, int length, int startSector);
    [[nodiscard]] int updateBitmap(const unsigned char* pageBits, int length, Sptr<schema::BaseAddress> pages);
    using BaseCmdData::setAsBad;
    virtual void setAsBad(int block);
    unsigned char* getBitmapOfBlock(int block);
    int getLength4BitmapOfBlock() const;
    int getValideSectors(schema::UsbDevice* device = nullptr) const;
    std::list<_BLOCK_NODE>* getList() { return m_blockLists.data(); }
    Sptr<BlockBitmap> getBlockBitmap() const { return m_blockBitmap; }

    [[nodiscard]] int update(schema::UsbDevice* device) override;
    // The clean-up by the rules of a scan priority and the flash type.
    [[nodiscard]] int cleanUp(int priority);
    void setupList();

    [[nodiscard]] int setToMultiPlane(schema::UsbDevice* device);
    [[nodiscard]] int setToMultiPlane(int planesPerChip, int groups);
    void setToSinglePlane(schema::UsbDevice* device = nullptr);
    virtual int convertAddress(
        schema::UsbDevice* device, Sptr<schema::BaseAddress> target, Sptr<schema::BaseAddress> source);

    // Saves the bitmap as its image near the end of the flash: 0, -2 when it
    // finds no place, -1 when an erase or a write fails. At scan level 3 the
    // image stays where the read-back found it (the bitmap's address).
    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    // The sector from which the image is placed, -1 when there is none.
    int findFirstFreeSector() const;
    const std::vector<unsigned char>& getHeaderBuffer() const { return m_headerBuffer; }
    // The 6706 controller's layout of the image, from the first good sectors
    // of startBlock on: bitmap sectors, then L2 sectors, the header last.
    // 0, -2 when the flash has too few good sectors, -1 when a write fails.
    [[nodiscard]] int Write6706SectBitmapInfoToFlash(schema::UsbDevice* device, int startBlock);
    // Writes the sectors of a unit of `count` whose bits are set in `mask`
    // from `data`; the spare-area settings between are the controller's.
    [[nodiscard]] int CmdWrite6706PhysicalSectors(schema::UsbDevice* device, unsigned long sector, void* data, unsigned long count,
                                    unsigned char, unsigned char, unsigned short, int, int, int, unsigned long mask);
    int myInit() override;
    int myInitLater() override;

protected:
    // The image's sectors in image order, as children; empty when the flash
    // has too few good sectors.
    Sptr<schema::BaseAddress> allocateAddresses(int startBlock);
    [[nodiscard]] int createSectorTables(const Sptr<schema::BaseAddress>& image);
    // Finds room for the image, allocates it and fills its tables; empty (logged) when it cannot.
    Sptr<schema::BaseAddress> placeImage();

private:
    void judgeFirstPages(int dataPages);
    int64_t applyWholeBlockRule(int priority);
    void applyWholePageRule(int priority, int64_t badTotal);
    void applyTlcPageRule();
    void widenBadPages();
    int singlePlane2MultiPlane(int planesPerChip, int groups, unsigned char* out) const;
    int parseOneBlock(int* matrix, int blockBytes, const unsigned char* blockBits, unsigned short sectorsPerPage) const;
    void parseSectBitmapOfPage(unsigned short pageBits, int* matrix, int sectorsPerPage) const;
    const unsigned char* singlePlaneBits() const;

    BitmapGeometry m_geometry;
    int m_imageSectorCount = 0;
    int m_l2SectorCount = 0;
    std::vector<unsigned char> m_headerBuffer;
    // The other view's buffer: the multi-plane one while the single-plane
    // view is in use (made on the first switch), and the other way round.
    std::vector<char> m_otherPlaneView;
    bool m_multiPlaneView = false;
    Sptr<BlockBitmap> m_blockBitmap;
    std::vector<std::list<_BLOCK_NODE>> m_blockLists;
};

}  // namespace Tessor::usb
