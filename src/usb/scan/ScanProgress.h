// Progress of a scan pass in weight units: fractions are kept until they add
// up to a whole unit, which is then reported to the device.
#pragma once

#include "schema/device/UsbDevice.h"

namespace Tessor::usb {

class ScanProgress {
public:
    void add(schema::UsbDevice* device, float units)
    {
        m_pending += units;
        if (m_pending >= 1.0f) {
            const int whole = static_cast<int>(m_pending);
            m_pending -= static_cast<float>(whole);
            device->updateProgressInfo(whole);
        }
    }
    void reset() { m_pending = 0; }

private:
    float m_pending = 0;
};

}  // namespace Tessor::usb
