#include "usb/scan/ScanObjectRaw.h"

#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cmd/BitRange.h"
#include "usb/scan/SampleFactory.h"
#include "usb/scan/ScanActionRaw.h"

namespace Tessor::usb {

ScanObjectSpeed::ScanObjectSpeed(schema::UsbDevice* device, const std::string& name, int blockCount)
    : ScanObject(device, name), m_blockCount(blockCount)
{
    init();
}

int ScanObjectSpeed::myInit()
{
    // The probe runs the child action; the parent only holds it.
    m_action = Sptr<ScanAction>(new ScanActionRaw(this, "ScanAction4Raw", SCAN_ACTION_SPEED));
    m_action->addData(Sptr<schema::BaseData>(new ScanActionRaw(this, "ScanAction4Raw", SCAN_ACTION_SPEED)));
    m_firstGoodSector = -1;
    m_currentBlock = 0;
    return 0;
}

int ScanObjectSpeed::myInitLater()
{
    switchEccOff();
    return 0;
}

int ScanObjectSpeed::initScan()
{
    if (const int result = erase(); result != 0) {
        return result;
    }
    return getDevice()->getCfgTable()->update(getDevice()) != 0 ? schema::DeviceCode::CFG_TABLE_DOWNLOAD_FAILED : 0;
}

int ScanObjectSpeed::erase()
{
    // The probe's read-back shows a block that did not erase.
    (void)getDevice()->eraseBlocks(0, PROBE_BLOCKS);
    return 0;
}

Sptr<schema::BaseAddress> ScanObjectSpeed::getScanAddress(int index)
{
    schema::UsbDevice* device = getDevice();
    TESSOR_ASSERT(device != nullptr);
    const schema::DiskInfo& disk = *device->getDiskInfo();
    const int perBlock = disk.getSectorsPerBlock();
    m_currentBlock = index / perBlock;
    if (index >= PROBE_BLOCKS * perBlock) {
        return {};
    }
    return Sptr<schema::BaseAddress>(new schema::BaseAddress(device, index / perBlock,
                                                             index % perBlock / disk.getSectorsPerPage(),
                                                             index % disk.getSectorsPerPage()));
}

int ScanObjectSpeed::writeFlash(int pass)
{
    schema::UsbDevice* device = getDevice();
    SampleFactory* samples = SampleFactory::instance();
    const int sampleSectors = samples->getSectorCount();
    TESSOR_ASSERT(sampleSectors % 8 == 0);
    const unsigned char* sample = reinterpret_cast<const unsigned char*>(samples->getSampleBuffer(pass, false));
    constexpr int group = ScanActionRaw::GROUP_SECTORS;
    for (int i = 0;; i += group) {
        Sptr<schema::BaseAddress> address = getScanAddress(i);
        if (!address) {
            break;
        }
        if (device->writeFlashSectors(address, group, sample + (i % sampleSectors) * SECTOR_BYTES) != 0) {
            // Sectors that do not take the sample fail the read-back and are
            // simply not chosen; the probe goes on.
            CPLOG(3, "'%s' execute %s scan algorithm failed when write to flash", device->getName(), getName());
        }
        if (const int cancel = device->checkCancel(); cancel != 0) {
            m_currentBlock = 0;
            return cancel;
        }
    }
    m_currentBlock = 0;
    return 0;
}

int ScanObjectSpeed::updateBitmap(const unsigned char* data, int index)
{
    for (int k = 0; k < ScanActionRaw::GROUP_SECTORS; ++k) {
        if (!BitRange::test(data, k)) {
            m_firstGoodSector = index + k;
            return m_firstGoodSector;
        }
    }
    return -1;
}

int ScanObjectSpeed::scan()
{
    schema::UsbDevice* device = getDevice();
    TESSOR_ASSERT(m_action);
    for (Sptr<schema::BaseData> child = m_action->getNextData({}); child; child = m_action->getNextData(child)) {
        Sptr<ScanAction> action(child);
        TESSOR_ASSERT(action);
        const int result = action->scan();
        if (m_firstGoodSector >= 0) {
            return 0;
        }
        if (const int cancel = device->checkCancel(); cancel != 0) {
            return cancel;
        }
        if (result != 0) {
            CPLOG(3, "device %s execute scan of %s failed", device->getName(), action->getName());
            return schema::DeviceCode::INDEX_TABLE_FAILED;
        }
    }
    return 0;
}

}  // namespace Tessor::usb
