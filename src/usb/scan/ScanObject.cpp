#include "usb/scan/ScanObject.h"

#include <algorithm>

#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/scan/SampleFactory.h"
#include "usb/scan/ScanAction.h"
#include "usb/scan/ScanMode.h"

namespace Tessor::usb {

ScanObject::ScanObject(schema::UsbDevice* device, const std::string& name)
    : BaseCmdData(device, name), m_table(device)
{
    init();
}

ScanObject::~ScanObject() = default;

int ScanObject::myInit()
{
    TESSOR_ASSERT(getDevice() != nullptr);
    m_length = static_cast<int>((static_cast<int64_t>(getDevice()->getDiskInfo()->getTotalSectors()) + 7) / 8);
    CPLOG(7, "length of %s is %d", getName(), m_length);
    return 0;
}

int ScanObject::myInitLater()
{
    setAsGood();
    return 0;
}

int ScanObject::scan()
{
    TESSOR_ASSERT(m_action);
    return m_action->scan();
}

int ScanObject::initScan()
{
    if (const int result = erase(); result != 0) {
        return result;
    }
    if (getDevice()->getCfgTable()->update(getDevice()) != 0) {
        return schema::DeviceCode::CFG_TABLE_DOWNLOAD_FAILED;
    }
    return updateCfgAndCode(CMD_EXTERNAL_AS_SCAN_CODE);
}

int ScanObject::erase()
{
    // A device error code, as every other failure of a pass.
    return getDevice()->eraseChip() != 0 ? schema::DeviceCode::ERASE_FAILED : 0;
}

int ScanObject::getScanBlocksCount() { return 0; }

Sptr<schema::BaseAddress> ScanObject::getScanAddress(int /*index*/) { return {}; }

int ScanObject::updateBitmap(const unsigned char* /*data*/, int /*index*/) { return 0; }

int ScanObject::writeFlash(int pass)
{
    schema::UsbDevice* device = getDevice();
    TESSOR_ASSERT(m_mode);
    SampleFactory* samples = SampleFactory::instance();
    TESSOR_ASSERT(samples != nullptr);
    const char* sample = samples->getSampleBuffer(pass, false);
    const int sampleSectors = samples->getSectorCount();
    const schema::DiskInfo& disk = *device->getDiskInfo();
    const int perBlock = disk.getSectorsPerBlock();
    const int perChip = disk.getBlocksPerChip() * perBlock;
    const int perPage = disk.getSectorsPerPage();
    const int step = m_mode->getRepeatTime() * std::max(m_mode->getRepeatStep(), 1);
    const int totalBlocks = disk.getTotalBlocks();
    for (int block = 0; block < totalBlocks; block += step) {
        const int64_t first = static_cast<int64_t>(block) * perBlock;
        const int64_t end = static_cast<int64_t>(std::min(block + step, totalBlocks)) * perBlock;
        for (int64_t sector = first; sector < end;) {
            // Data follow the device-wide sector through the sample, as the
            // read-back compares them.
            const int inSample = static_cast<int>(sector % sampleSectors);
            const int count = static_cast<int>(std::min<int64_t>({perPage, end - sector, sampleSectors - inSample}));
            const int chip = static_cast<int>(sector / perChip);
            if (device->writeFlashSectors(chip, static_cast<int>(sector % perChip), count,
                                          reinterpret_cast<const unsigned char*>(sample) + inSample * SECTOR_BYTES) !=
                0) {
                // The text is the system's own, though this is a write of the sample.
                CPLOG(3, "Read Sector Bitmap L1 table from Flash failed on device %s on phyical address : %d",
                      device->getName(), static_cast<int>(sector));
                // A sector that does not take the sample fails the read-back
                // like any other bad sector; the pass goes on.
            }
            if (const int cancel = device->checkCancel(); cancel != 0) {
                return cancel;
            }
            sector += count;
        }
    }
    return 0;
}

int ScanObject::updateCfgAndCode(CMD_COMMON_T command)
{
    TESSOR_ASSERT(getDevice() != nullptr);
    // The scan goes on whatever the table reports.
    (void)m_table.update4Scan(command != CMD_EXTERNAL_AS_SCAN_CODE);
    if (m_table.writeToRam() != 0) {
        CPLOG(3, "Write cfgTable Failed");
        return schema::DeviceCode::CFG_TABLE_DOWNLOAD_FAILED;
    }
    if (m_table.downloadCode(command) != 0) {
        CPLOG(3, "Write ExternalCode Failed");
        return schema::DeviceCode::SCAN_CODE_DOWNLOAD_FAILED;
    }
    return 0;
}

void ScanObject::makeSectorBitmap()
{
    schema::UsbDevice* device = getDevice();
    int number = 0;
    if (device->getDev() == nullptr) {
        CPLOG(3, "No device layer device is associated with %s", device->getName());
    } else {
        number = device->getDev()->slotIndex;
    }
    m_sectorBitmap = Sptr<SectorBitmap>(new SectorBitmap(device, "MyDevice" + std::to_string(number) + "Bitmap"));
}

void ScanObject::switchEccOff() { getDevice()->getScanConfig()->setEccStatus(false); }

}  // namespace Tessor::usb
