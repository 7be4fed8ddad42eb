// The photo frame's configuration table: its settings and where every piece
// of content lies, one sector at the start of area 0.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "usb/dpf/DpfCmd.h"
#include "usb/dpf/PhotoInfoRecord.h"

namespace Tessor::schema {
class DpfMenuList;
}

namespace Tessor::usb {

class DpfCfgTable : public DpfCmd {
public:
    static constexpr int BUFFER_SIZE = 1024;

    DpfCfgTable(schema::UsbDevice* device, const std::string& name) : DpfCmd(device, name, schema::ADDRESS_CFG_TABLE)
    {
    }
    ~DpfCfgTable() override = default;

    void debug() override;
    int serialize(void* buffer) override;
    int finish(schema::UsbDevice* device) override;
    int writeFlash(schema::UsbDevice* device) override;
    // Reads the table's sector back and compares it with the one built.
    int validateFlash(schema::UsbDevice* device) override;

    const unsigned char* getCfgTableBuffer() const { return m_table; }

private:
    void serializeMenu(PhotoInfoRecord* record);
    void initMenuLevel(MenuLevelRecord* level, const Sptr<schema::DpfMenuList>& list);
    void serializeSdk(PhotoInfoRecord* record);
    // The linear sector of the area's first block.
    uint32_t getDpfAddress(schema::PHOTO_ADDRESS_T type);

    unsigned char m_table[BUFFER_SIZE] = {};
};

}  // namespace Tessor::usb
