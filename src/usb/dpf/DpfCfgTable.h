// The photo frame's configuration table: its settings and where every piece
// of content lies, one sector at the start of area 0.
#pragma once

#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "usb/dpf/DpfCmd.h"
#include "usb/dpf/PhotoInfoRecord.h"

namespace Tessor::schema {
class BaseAddress;
class DpfMenuList;
}  // namespace Tessor::schema

namespace Tessor::usb {

class DpfCfgTable : public DpfCmd {
public:
    static constexpr int BUFFER_SIZE = 1024;

    DpfCfgTable(schema::UsbDevice* device, const std::string& name) : DpfCmd(device, name, schema::ADDRESS_CFG_TABLE)
    {
    }
    // Reads the device's frame back from the table sector `raw` at once
    // (see reverseSerialize); the buffer holds the sector when it held a
    // table.
    DpfCfgTable(schema::UsbDevice* device, const unsigned char* raw);
    ~DpfCfgTable() override = default;

    void debug() override;
    int serialize(void* buffer) override;
    [[nodiscard]] int finish(schema::UsbDevice* device) override;
    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    // Reads the table's sector back and compares it with the one built.
    [[nodiscard]] int validateFlash(schema::UsbDevice* device) override;
    // Reads a device's frame back from its table sector `data`: the
    // addresses of the photo and e-book areas, and the books and photos
    // saved as files in the configuration's folders, which then list just
    // them. 0, or -1 (logged) for no table or a failed read or write.
    int reverseSerialize(void* data) override;

    const unsigned char* getCfgTableBuffer() const { return m_table; }

private:
    void serializeMenu(PhotoInfoRecord* record);
    void initMenuLevel(MenuLevelRecord* level, const Sptr<schema::DpfMenuList>& list);
    void serializeSdk(PhotoInfoRecord* record);
    // The linear sector of the area's first block.
    uint32_t getDpfAddress(schema::PHOTO_ADDRESS_T type);
    [[nodiscard]] int reversalSerializeEBooks(const PhotoInfoRecord& record);
    [[nodiscard]] int reversalSerializePhotos(const PhotoInfoRecord& record);
    Sptr<schema::BaseAddress> sectorAt(uint32_t sector) const;
    // The blocks (over the disk) that `sectors` sectors from `sector` touch;
    // at least one.
    std::vector<int> blocksCovering(uint32_t sector, int sectors) const;
    // Whether `sectors` sectors from `sector`, at least one, lie on the
    // device: a table read back may name any number.
    bool onDevice(int64_t sector, int sectors) const;
    void setArea(schema::PHOTO_ADDRESS_T type, const std::vector<int>& blocks);
    // `count` sectors from sector `sector` of the area's blocks in order.
    [[nodiscard]] bool readArea(schema::PHOTO_ADDRESS_T type, int sector, int count, std::vector<unsigned char>& out);
    // Saves a read-back file; false (logged) when it cannot be written.
    [[nodiscard]] static bool saveFile(const std::string& path, const std::vector<unsigned char>& bytes, int size);

    unsigned char m_table[BUFFER_SIZE] = {};
};

}  // namespace Tessor::usb
