// The photo state table (area 31): the head of the configuration table and
// one bit per photo slot, 0 for a slot that holds a photo.
#pragma once

#include "platform/orrin/Sector.h"
#include "usb/dpf/DpfCmd.h"

namespace Tessor::usb {

class DpfCmdPhotoState : public DpfCmd {
public:
    static constexpr int TABLE_HEAD = 132;
    static constexpr int BITMAP_OFFSET = 180;

    DpfCmdPhotoState(schema::UsbDevice* device, const std::string& name)
        : DpfCmd(device, name, schema::ADDRESS_PHOTO_STATE)
    {
    }
    DpfCmdPhotoState(schema::UsbDevice* device, const unsigned char* raw) : DpfCmd(device, raw, schema::ADDRESS_PHOTO_STATE) {}
    ~DpfCmdPhotoState() override = default;

    [[nodiscard]] int finish(schema::UsbDevice* device) override;
    int getSectorLength() override { return 1; }
    const unsigned char* getCmdBuffer() override { return m_table; }

private:
    unsigned char m_table[SECTOR_BYTES] = {};
};

}  // namespace Tessor::usb
