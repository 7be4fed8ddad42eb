// The photo address table (area 32): the linear sector of every photo slot,
// high byte first.
#pragma once

#include <vector>

#include "usb/dpf/DpfCmd.h"

namespace Tessor::usb {

class DpfCmdPhotoAddress : public DpfCmd {
public:
    DpfCmdPhotoAddress(schema::UsbDevice* device, const std::string& name)
        : DpfCmd(device, name, schema::ADDRESS_PHOTO_MAP)
    {
    }
    DpfCmdPhotoAddress(schema::UsbDevice* device, const unsigned char* raw) : DpfCmd(device, raw, schema::ADDRESS_PHOTO_MAP) {}
    ~DpfCmdPhotoAddress() override = default;

    [[nodiscard]] int finish(schema::UsbDevice* device) override;
    int getSectorLength() override { return m_sectors; }
    const unsigned char* getCmdBuffer() override { return m_table.empty() ? nullptr : m_table.data(); }

private:
    int m_sectors = 0;
    std::vector<unsigned char> m_table;  // whole sectors
};

}  // namespace Tessor::usb
