#include "usb/scan/ScanActionRaw.h"

#include <cstring>

#include "platform/orrin/ByteOrder.h"
#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/data/BaseCmdData.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/BitRange.h"
#include "usb/scan/SampleFactory.h"
#include "usb/scan/ScanObject.h"

namespace Tessor::usb {

namespace {
constexpr int kFlagBytes = ScanActionRaw::GROUP_SECTORS / 8;
constexpr int kZoneBytes = ScanSample::ZONE_SIZE;
constexpr int kZoneLeadBytes = 3;
constexpr int kZoneCodes = 10;
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
            return schema::DeviceCode::SCAN_FAILED;
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
        const unsigned char* expected = sample + ((first + k) % sampleSectors) * SECTOR_BYTES;
        if (std::memcmp(m_readBuffer + k * SECTOR_BYTES, expected, SECTOR_BYTES) != 0) {
            BitRange::set(m_work.data(), k);
        }
    }
    return 0;
}

int ScanActionRaw::compareScanAddressEcc(Sptr<schema::BaseAddress> address, int reading)
{
    SampleFactory* samples = SampleFactory::instance();
    const int sampleSectors = samples->getSectorCount();
    const auto* sample = reinterpret_cast<const unsigned char*>(samples->getSampleBuffer(reading, false));
    const auto* zones = reinterpret_cast<const unsigned char*>(samples->getSampleBuffer(reading, true));
    const int tolerated = getDevice()->getScanConfig()->getEccBytes();
    const int sectors = getCountOfSectors();
    const int64_t first = address->getPhyAddress();
    for (int s = 0; s < sectors; ++s) {
        const int64_t inSample = (first + s) % sampleSectors;
        const unsigned char* data = m_readBuffer + s * SECTOR_BYTES;
        const unsigned char* zone = m_readBuffer + sectors * SECTOR_BYTES + s * kZoneBytes;
        const unsigned char* expectedData = sample + inSample * SECTOR_BYTES;
        const unsigned char* expectedZone = zones + inSample * kZoneBytes;
        int differing = 0;
        for (int b = 0; b < SECTOR_BYTES + kZoneBytes && differing <= tolerated; ++b) {
            const bool differs =
                b < SECTOR_BYTES ? data[b] != expectedData[b] : zone[b - SECTOR_BYTES] != expectedZone[b - SECTOR_BYTES];
            differing += differs ? 1 : 0;
        }
        if (differing > tolerated) {
            BitRange::set(m_work.data(), s);
        }
    }
    return 0;
}

uint16_t ScanActionRaw::getEccCode(const unsigned char* zone, int i)
{
    const int bit = 10 * i;
    const auto* word = reinterpret_cast<const Le16*>(zone + kZoneLeadBytes + bit / 8);
    return static_cast<uint16_t>((word->get() >> (bit % 8)) & 0x3FF);
}

uint16_t ScanActionRaw::compareEccZone(const unsigned char* zone, const unsigned char* other)
{
    uint16_t differing = 0;
    for (int b = 0; b < kZoneLeadBytes; ++b) {
        differing += zone[b] != other[b] ? 1 : 0;
    }
    for (int i = 0; i < kZoneCodes; ++i) {
        differing += getEccCode(zone, i) != getEccCode(other, i) ? 1 : 0;
    }
    return differing;
}

}  // namespace Tessor::usb
