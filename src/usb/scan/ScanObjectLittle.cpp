#include "usb/scan/ScanObjectLittle.h"

#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/scan/ScanActionRaw.h"
#include "usb/scan/ScanMode.h"

namespace Tessor::usb {

ScanObjectLittle::ScanObjectLittle(schema::UsbDevice* device, const std::string& name) : ScanObject(device, name)
{
    init();
}

int ScanObjectLittle::myInit()
{
    ScanObject::myInit();
    m_action = Sptr<ScanAction>(new ScanActionRaw(this, "ScanAction4LittlePage", SCAN_ACTION_LITTLE_PAGE));
    return 0;
}

int ScanObjectLittle::myInitLater()
{
    ScanObject::myInitLater();
    switchEccOff();
    makeSectorBitmap();
    schema::UsbDevice* device = getDevice();
    if (device->hasScanMode()) {
        m_mode = device->getScanMode();
    } else {
        // Only the pre-scan at priority 2 stores a mode for small pages; the
        // others scan every block and page the same way.
        m_mode = Sptr<ScanMode>(new ScanMode(SCAN_BLOCK_ALL, "LittlePageScanAllBlock"));
    }
    return 0;
}

int ScanObjectLittle::initScan()
{
    if (const int result = erase(); result != 0) {
        return result;
    }
    return updateCfgAndCode(CMD_EXTERNAL_AS_SCAN_CODE);
}

Sptr<schema::BaseAddress> ScanObjectLittle::getScanAddress(int index)
{
    schema::UsbDevice* device = getDevice();
    const schema::DiskInfo& disk = *device->getDiskInfo();
    if (index >= disk.getTotalSectors()) {
        return {};
    }
    const int perBlock = disk.getSectorsPerBlock();
    // A device-wide block: the address finds its chip.
    return Sptr<schema::BaseAddress>(new schema::BaseAddress(
        device, index / perBlock, index % perBlock / disk.getSectorsPerPage(), index % disk.getSectorsPerPage()));
}

int ScanObjectLittle::updateBitmap(const unsigned char* data, int start)
{
    if (m_sectorBitmap->updateBitmap(data, ScanActionRaw::GROUP_SECTORS / 8, start) != 0) {
        return schema::DeviceCode::ACCESS_FAILED;
    }
    return -1;
}

}  // namespace Tessor::usb
