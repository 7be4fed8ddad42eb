#include "usb/scan/ScanTable.h"

#include "schema/base/Assert.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgFlash.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CodeFactory.h"

namespace Tessor::usb {

ScanTable::ScanTable(schema::UsbDevice* device) : m_device(device) { TESSOR_ASSERT(device != nullptr); }

int ScanTable::update4Scan(bool planeLayout) { return m_device->getCfgTable()->update4Scan(m_device, planeLayout); }

int ScanTable::writeToRam()
{
    Sptr<CfgTable> table = m_device->getCfgTable();
    table->setType(CFG_TABLE_DOWNLOADING);
    return table->writeFlash(m_device);
}

ScanPlaneLayout ScanTable::getPlaneLayout() const
{
    const FlashCtrl& f = m_device->getCfgTable()->getFlashCtrl()->record();
    return {f.MaxPlanes + 1, f.MaxInterleaves + 1, f.MaxChips + 1};
}

int ScanTable::downloadCode(CMD_COMMON_T command)
{
    Sptr<schema::BaseCmdData> code = CodeFactory::commonCommand(command);
    return code ? code->writeFlash(m_device) : -1;
}

}  // namespace Tessor::usb
