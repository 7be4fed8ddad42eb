// Where a device's configuration table lies, for the firmware that finds it
// through an index: a 12-byte record with a magic, the flash format, the
// table's page and a code-control byte, guarded by an XOR byte and a
// complement sum, repeated four times in a 2048-byte image that is written
// to every index page the allocation reserved.
#pragma once

#include <cstdint>

#include "platform/orrin/Sector.h"
#include "schema/data/BaseCmdData.h"

namespace Tessor::usb {

class CfgTableIndex : public schema::BaseCmdData {
public:
    static constexpr int kImageSize = 2048;
    static constexpr int kRecordSize = 12;
    static constexpr int kCopyStride = 512;
    static constexpr int kSectors = kImageSize / SECTOR_BYTES;

    explicit CfgTableIndex(schema::UsbDevice* device);
    ~CfgTableIndex() override;

    int myInit() override;
    // Builds the image from the device's table.
    [[nodiscard]] int update(schema::UsbDevice* device) override;
    // -1 when a copy could not be written.
    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    using schema::BaseCmdData::writeFlash;
    // -1 when a copy cannot be read or differs from the image last built.
    [[nodiscard]] int validateFlash(schema::UsbDevice* device) override;
    [[nodiscard]] int write() override { return writeFlash(getDevice()); }

    const uint8_t* image() const { return reinterpret_cast<const uint8_t*>(m_buffer.data()); }

private:
    uint8_t flagByte(schema::UsbDevice* device) const;
};

}  // namespace Tessor::usb
