#include "schema/device/interim/CfgTable.h"

#include "schema/device/UsbDevice.h"

namespace Tessor::interim {

int CfgTable::writeFlash(schema::UsbDevice* device)
{
    return device->writeConfigTable2Ram(reinterpret_cast<unsigned char*>(getBuffer()));
}

}  // namespace Tessor::interim
