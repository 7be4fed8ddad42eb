#include "usb/task/init/CfgTableAccess.h"

#include <vector>

#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgTable.h"

namespace Tessor::usb {

bool adoptCfgTable(schema::UsbDevice* device, const unsigned char* block)
{
    // The rebuild reads more sectors into the buffer the block lies in.
    const std::vector<unsigned char> sector(block, block + CfgTable::kImageRoom);
    Sptr<CfgTable> table(new CfgTable(device, sector.data()));
    if (!table->isReadBack()) {
        return false;
    }
    device->setCfgTable(table);
    return true;
}

LunProtection lunProtection(schema::UsbDevice* device, int lun)
{
    LunProtection flags;
    Sptr<CfgTable> table = device->getCfgTable();
    Sptr<CfgPartition> partition = table ? table->getPartitionCtrl() : Sptr<CfgPartition>();
    Sptr<LunInfo> unit = partition ? partition->getLunInfo(lun) : Sptr<LunInfo>();
    if (unit) {
        flags.hide = unit->fields().Hide != 0;
        flags.writeProtect = unit->fields().WriteProtect != 0;
        flags.readProtect = unit->fields().ReadProtect != 0;
    }
    return flags;
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
