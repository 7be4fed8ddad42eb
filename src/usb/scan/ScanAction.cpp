#include "usb/scan/ScanAction.h"

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "usb/scan/PatternBlock.h"
#include "usb/scan/ScanObject.h"

namespace Tessor::usb {

ScanAction::ScanAction(ScanObject* engine, const std::string& name, _SCAN_ACTION_TYPE type)
    : BaseData(engine != nullptr ? engine->getDevice() : nullptr, name), m_engine(engine), m_type(type)
{
}

ScanAction::~ScanAction() = default;

int ScanAction::init()
{
    TESSOR_ASSERT(getDevice() != nullptr);
    myInit();
    m_workSectors = (m_workLength + 511) / 512;
    if (m_workSectors > 0) {
        m_work.assign(static_cast<size_t>(m_workSectors) * 512, 0);
    }
    return 0;
}

int ScanAction::scan()
{
    TESSOR_ASSERT(m_engine != nullptr);
    TESSOR_ASSERT(getDevice()->getScanConfig());
    int result = m_engine->erase();
    if (result == 0) {
        result = m_engine->writeFlash(0);
    }
    if (result == 0) {
        result = myScan(0);
    }
    return result;
}

int ScanAction::myScan(int reading)
{
    schema::UsbDevice* device = getDevice();
    for (int i = 0;; ++i) {
        Sptr<schema::BaseAddress> address = m_engine->getScanAddress(i);
        if (!address) {
            return 0;
        }
        if (const int cancel = device->checkCancel(); cancel != 0) {
            return cancel;
        }
        m_readBuffer = readScanAddress(address, reading);
        if (m_readBuffer == nullptr) {
            CPLOG(3, "'%s' execute %s scan algorithm failed when write to flash", device->getName(), getName());
            return schema::DeviceCode::ACCESS_FAILED;
        }
        if (const int result = compareScanAddress(address, reading); result != 0) {
            CPLOG(3, "'%s' execute %s scan algorithm failed when read flash and validate data", device->getName(),
                  getName());
            return result;
        }
    }
}

unsigned char* ScanAction::readScanAddress(Sptr<schema::BaseAddress> /*address*/, int /*reading*/) { return nullptr; }

int ScanAction::compareScanAddress(Sptr<schema::BaseAddress> /*address*/, int /*reading*/) { return 0; }

unsigned char* ScanAction::readPageUnits(Sptr<schema::BaseAddress> address)
{
    schema::UsbDevice* device = getDevice();
    const int perPage = device->getDiskInfo()->getSectorsPerPage();
    PatternBlock pattern(device);
    m_readBuffer = device->readScanSectors(address, pattern.bytes(), 2, static_cast<unsigned short>(perPage),
                                           static_cast<unsigned short>(2048 / perPage), 1);
    if (m_readBuffer == nullptr) {
        CPLOG(3, "Read Bitmap of scan sector for device %s failed", device->getName());
    }
    return m_readBuffer;
}

int ScanAction::handToEngine(Sptr<schema::BaseAddress> address)
{
    return m_engine->updateBitmap(m_readBuffer, address->getPhyAddress());
}

}  // namespace Tessor::usb
