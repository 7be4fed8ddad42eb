// The writer of one photo-frame area: writes a command buffer of whole
// sectors at the start of its area. Its address is the area: a container
// whose children are the area's blocks in allocation order.
#pragma once

#include <string>

#include "schema/data/BaseCmdData.h"
#include "schema/dpf/PhotoAddress.h"

namespace Tessor::schema {
class BaseAddress;
class DpfDevice;
}  // namespace Tessor::schema

namespace Tessor::usb {

class DpfCmd : public schema::BaseCmdData {
public:
    DpfCmd(schema::UsbDevice* device, const std::string& name, schema::PHOTO_ADDRESS_T type);
    // The writer of the area by the name "DpfCmd"; nothing is taken from the
    // buffer.
    DpfCmd(schema::UsbDevice* device, const unsigned char* raw, schema::PHOTO_ADDRESS_T type);
    ~DpfCmd() override = default;

    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    [[nodiscard]] int validateFlash(schema::UsbDevice* /*device*/) override { return 0; }
    int myInit() override;

    // The sectors of the command buffer to write, and the buffer.
    virtual int getSectorLength() { return 0; }
    virtual const unsigned char* getCmdBuffer() { return nullptr; }

    schema::PHOTO_ADDRESS_T getType() const { return m_type; }
    // Block n of the area, empty past its last block.
    Sptr<schema::BaseAddress> getAreaBlock(int n);
    int getAreaBlocks();

protected:
    schema::DpfDevice* m_dpfDevice = nullptr;

private:
    schema::PHOTO_ADDRESS_T m_type;
};

}  // namespace Tessor::usb
