#include "usb/scan/ScanActionPreScan.h"

#include <algorithm>
#include <cstring>

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "usb/scan/PatternBlock.h"
#include "usb/scan/ScanLimits.h"
#include "usb/scan/ScanMode.h"
#include "usb/scan/ScanObject.h"

namespace Tessor::usb {

ScanActionPreScan::ScanActionPreScan(ScanObject* engine, const std::string& name, _SCAN_ACTION_TYPE type)
    : ScanAction(engine, name, type)
{
    init();
}

int ScanActionPreScan::myInit()
{
    m_workLength = 512;
    const schema::DiskInfo& disk = *getDevice()->getDiskInfo();
    m_preScanBitmap.assign(static_cast<size_t>(m_engine->getScanBlocksCount()) * disk.getSectorsPerBlock() / 8, 0xFF);
    return 0;
}

int ScanActionPreScan::scan()
{
    schema::UsbDevice* device = getDevice();
    TESSOR_ASSERT(device->getScanConfig());
    const bool smallPage = isSmallPageFirmware(device);
    for (int reading = 0; reading < 2; ++reading) {
        // A sample block that does not erase shows as errors in the readings
        // of its mode, which is what the pre-scan weighs.
        (void)m_engine->erase();
        int result = m_engine->writeFlash(reading);
        if (result == 0 && smallPage) {
            result = myScan(reading);
            if (result == 0) {
                result = m_engine->writeFlash(reading);
            }
            if (result == 0) {
                result = myScan(reading);
            }
            if (result == 0) {
                result = myScan(reading);
            }
        } else if (result == 0) {
            result = myScan(reading);
        }
        if (result != 0) {
            return result;
        }
    }
    return 0;
}

int ScanActionPreScan::myScan(int reading)
{
    schema::UsbDevice* device = getDevice();
    if (isSmallPageFirmware(device)) {
        return ScanAction::myScan(reading);
    }
    Sptr<ScanMode> mode = m_engine->getScanMode();
    TESSOR_ASSERT(mode);
    const schema::DiskInfo& disk = *device->getDiskInfo();
    const int perPage = disk.getSectorsPerPage();
    const int perChip = disk.getBlocksPerChip() * disk.getSectorsPerBlock();
    const int jump = disk.getSectorsPerBlock() * std::max(mode->getRepeatStep(), 1);
    m_repeat = mode->getRepeatTime();
    CPLOG(7, "PRESCAN READ jumpSectors=%d,repeatTime =%d", jump, m_repeat);
    std::fill(m_preScanBitmap.begin(), m_preScanBitmap.end(), 0xFF);
    std::vector<unsigned char> result(2048, 0xFF);
    PatternBlock pattern(device);
    const size_t entry = static_cast<size_t>(m_repeat) * perPage / 8;
    size_t at = 0;
    for (const int s : m_engine->getScanSectors()) {
        if (!pattern.send(s, perChip, 2, jump, m_repeat, result.data())) {
            CPLOG(3, "Read Bitmap of scan sector for device %s failed", device->getName());
            return schema::DeviceCode::ACCESS_FAILED;
        }
        const size_t n = std::min(entry, m_preScanBitmap.size() - at);
        std::memcpy(m_preScanBitmap.data() + at, result.data(), n);
        at += n;
        if (const int cancel = device->checkCancel(); cancel != 0) {
            return cancel;
        }
    }
    return m_engine->updateBitmap(m_preScanBitmap.data(), 0);
}

unsigned char* ScanActionPreScan::readScanAddress(Sptr<schema::BaseAddress> address, int /*reading*/)
{
    TESSOR_ASSERT(m_engine->getScanMode());
    schema::UsbDevice* device = getDevice();
    if (!isSmallPageFirmware(device)) {
        return m_readBuffer;
    }
    return readPageUnits(address);
}

int ScanActionPreScan::compareScanAddress(Sptr<schema::BaseAddress> address, int /*reading*/)
{
    return handToEngine(address);
}

}  // namespace Tessor::usb
