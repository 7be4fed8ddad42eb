#include "usb/scan/ScanActionRaw.h"

#include <cstring>

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/data/BaseCmdData.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/BitRange.h"
#include "usb/scan/SampleFactory.h"
#include "usb/scan/ScanObject.h"

namespace Tessor::usb {

namespace {
constexpr int kFlagBytes = ScanActionRaw::GROUP_SECTORS / 8;
constexpr int kSectorBytes = schema::BaseCmdData::SECTOR_SIZE;
}

ScanActionRaw::ScanActionRaw(ScanObject* engine, const std::string& name, _SCAN_ACTION_TYPE type)
    : ScanAction(engine, name, type)
{
    init();
}

int ScanActionRaw::myInit()
{
    m_workLength = 4096;
    return 0;
}

int ScanActionRaw::myScan(int reading)
{
    schema::UsbDevice* device = getDevice();
    TESSOR_ASSERT(device != nullptr);
    TESSOR_ASSERT(SampleFactory::instance()->getSectorCount() % 8 == 0);
    for (int i = 0;; i += GROUP_SECTORS) {
        Sptr<schema::BaseAddress> address = m_engine->getScanAddress(i);
        if (!address) {
            return 0;
        }
        if (readScanAddress(address, reading) == nullptr) {
            CPLOG(3, "'%s' execute %s scan algorithm failed when write to flash", device->getName(), getName());
            return 0x8008;
        }
        if (const int cancel = device->checkCancel(); cancel != 0) {
            return cancel;
        }
        // Each group reports its own failures.
        std::memset(m_work.data(), 0, kFlagBytes);
        if (const int result = compareScanAddress(address, reading); result != 0) {
            CPLOG(3, "'%s' execute %s scan algorithm failed when read flash and validate data", device->getName(),
                  getName());
            return result;
        }
        if (const int result = m_engine->updateBitmap(m_work.data(), i); result != -1) {
            return result;
        }
    }
}

unsigned char* ScanActionRaw::readScanAddress(Sptr<schema::BaseAddress> address, int /*reading*/)
{
    CPLOG(7, "read out the Flash using ecc ,SecotrNo %d, Sector Count %d", address->getPhyAddress(),
          getCountOfSectors());
    m_readBuffer = getDevice()->readFlashSectors(address, GROUP_SECTORS);
    return m_readBuffer;
}

int ScanActionRaw::compareScanAddress(Sptr<schema::BaseAddress> address, int reading)
{
    SampleFactory* samples = SampleFactory::instance();
    const int sampleSectors = samples->getSectorCount();
    const unsigned char* sample = reinterpret_cast<const unsigned char*>(samples->getSampleBuffer(reading, false));
    const int64_t first = address->getPhyAddress();
    for (int k = 0; k < GROUP_SECTORS; ++k) {
        // The sample is followed by device-wide sector, as it was written.
        const unsigned char* expected = sample + ((first + k) % sampleSectors) * kSectorBytes;
        if (std::memcmp(m_readBuffer + k * kSectorBytes, expected, kSectorBytes) != 0) {
            BitRange::set(m_work.data(), k);
        }
    }
    return 0;
}

}  // namespace Tessor::usb
