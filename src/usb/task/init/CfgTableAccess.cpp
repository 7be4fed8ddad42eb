#include "usb/task/init/CfgTableAccess.h"

#include <cstring>

#include "schema/device/UsbDevice.h"

namespace Tessor::usb {

void adoptCfgTable(schema::UsbDevice* device, const unsigned char* block)
{
    Sptr<interim::CfgTable> table(new interim::CfgTable(device, "CfgTable", interim::CFG_TABLE_DEVICE));
    std::memcpy(table->getBuffer(), block, interim::CfgTable::TABLE_SIZE);
    device->setCfgTable(table);
}

LunProtection lunProtection(schema::UsbDevice* device, int /*lun*/)
{
    // The partition item does not carry its logical units yet.
    (void)device;
    return LunProtection();
}

int findHiddenLun(schema::UsbDevice* device)
{
    for (int lun = 0; lun < LOGIN_LUN_COUNT; ++lun) {
        const LunProtection flags = lunProtection(device, lun);
        if (flags.hide || flags.writeProtect || flags.readProtect) {
            return lun;
        }
    }
    return -1;
}

}  // namespace Tessor::usb
