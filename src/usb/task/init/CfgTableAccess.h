// What the engine reads of a device's configuration table when it starts.
#pragma once

namespace Tessor::schema {
class UsbDevice;
}

namespace Tessor::usb {

constexpr int LOGIN_LUN_COUNT = 4;

struct LunProtection {
    bool hide = false;
    bool writeProtect = false;
    bool readProtect = false;
};

// Gives the device the table its version block carries; false, leaving the
// device its own, when that table cannot be read (see CfgTable::isReadBack).
[[nodiscard]] bool adoptCfgTable(schema::UsbDevice* device, const unsigned char* block);
// Flags of one of the first four logical units of the device's table.
LunProtection lunProtection(schema::UsbDevice* device, int lun);
// The first of the first four logical units that is hidden or protected,
// -1 when there is none.
int findHiddenLun(schema::UsbDevice* device);

}  // namespace Tessor::usb
