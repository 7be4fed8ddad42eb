// What a scan engine needs of the device's configuration table and of the
// scan firmware: the table brought up to date for a scan and sent to the
// controller's RAM, the plane layout it carries, and the firmware download.
#pragma once

#include "usb/cfg/CodeTypes.h"

namespace Tessor::schema {
class UsbDevice;
}

namespace Tessor::usb {

// The firmware a scan runs on: "ScanCode" or "ExternalAsScanCode".
using ::CMD_COMMON_T;
using ::CMD_EXTERNAL_AS_SCAN_CODE;
using ::CMD_SCAN_CODE;

struct ScanPlaneLayout {
    int planes = 1;
    int interleaves = 1;
    int chips = 1;
    int factor() const { return planes * interleaves * chips; }
};

class ScanTable {
public:
    explicit ScanTable(schema::UsbDevice* device);

    // `planeLayout` false keeps the single-plane layout.
    [[nodiscard]] int update4Scan(bool planeLayout);
    // The table as a RAM table (type 1); 0 on success.
    [[nodiscard]] int writeToRam();
    ScanPlaneLayout getPlaneLayout() const;
    // 0 on success.
    [[nodiscard]] int downloadCode(CMD_COMMON_T command);

private:
    schema::UsbDevice* m_device;
};

}  // namespace Tessor::usb
