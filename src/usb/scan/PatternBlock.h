// The 4 bytes sent with every vendor scan command (the run's
// error-correction byte count, 0x55, 0xAA and a flag that marks the first
// command of a pass), and the command itself for a device-wide sector.
#pragma once

#include <cstdint>

#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"

namespace Tessor::usb {

class PatternBlock {
public:
    explicit PatternBlock(schema::UsbDevice* device)
        : m_device(device),
          m_bytes{static_cast<unsigned char>(device->getScanConfig()->getEccBytes()), 0x55, 0xAA, 1}
    {
    }
    const unsigned char* bytes() const { return m_bytes; }

    // One vendor scan command at `sector`, named as chip = sector / `chipSectors`
    // and the sector within it; later commands are no longer the first.
    [[nodiscard]] bool send(int64_t sector, int64_t chipSectors, unsigned char op, int jump, int repeat, unsigned char* buffer)
    {
        const bool ok = m_device->readScanSectors(static_cast<unsigned char>(sector / chipSectors),
                                                  static_cast<unsigned>(sector % chipSectors), m_bytes, op,
                                                  static_cast<unsigned short>(jump),
                                                  static_cast<unsigned short>(repeat), 0, buffer);
        if (ok) {
            m_bytes[3] = 0;
        }
        return ok;
    }

private:
    schema::UsbDevice* m_device;
    unsigned char m_bytes[4];
};

}  // namespace Tessor::usb
