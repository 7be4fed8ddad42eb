#include "usb/scan/ScanObjectScan.h"

#include <algorithm>
#include <vector>

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/profile/FlashInfo.h"
#include "usb/scan/PatternBlock.h"
#include "usb/scan/ScanActionScan.h"
#include "usb/scan/ScanLimits.h"
#include "usb/scan/ScanMode.h"

namespace Tessor::usb {

namespace {

// Units of the small-page firmware's buffer.
int bufferUnits() { return schema::UsbConfiguration::instance()->scanIsBigBuffer() ? 0x200 : 0x80; }

}  // namespace

ScanObjectScan::ScanObjectScan(schema::UsbDevice* device, const std::string& name) : ScanObject(device, name)
{
    init();
}

int ScanObjectScan::myInit()
{
    ScanObject::myInit();
    m_action = Sptr<ScanAction>(new ScanActionScan(this, "ScanAction4Scan", SCAN_ACTION_SCAN));
    return 0;
}

int ScanObjectScan::myInitLater()
{
    ScanObject::myInitLater();
    schema::UsbDevice* device = getDevice();
    TESSOR_ASSERT(device != nullptr);
    (void)m_table.update4Scan(true);  // the scan goes on whatever the table reports
    const ScanPlaneLayout layout = m_table.getPlaneLayout();
    makeSectorBitmap();
    switchEccOff();
    m_firstAddress = Sptr<schema::BaseAddress>(new schema::BaseAddress(device, 0, 0, 0));
    m_addressSet = Sptr<schema::BaseAddress>(new schema::BaseAddress(device, 0, 0, 0));
    m_scanSectors.clear();
    m_mode = device->getScanMode();
    TESSOR_ASSERT(m_mode);
    listScanSectors(layout.factor());
    if (isSmallPageFirmware(device)) {
        addSmallPageChunks(layout.factor());
    }
    return 0;
}

void ScanObjectScan::listScanSectors(int planeFactor)
{
    schema::UsbDevice* device = getDevice();
    const schema::DiskInfo& disk = *device->getDiskInfo();
    const int totalBlocks = disk.getTotalBlocks();
    const int perChip = disk.getBlocksPerChip();
    const int pages = disk.getPagesPerBlock();
    const int perPage = disk.getSectorsPerPage();
    const int64_t total = disk.getTotalSectors();
    int stride = bufferUnits();
    if (!isSmallPageFirmware(device)) {
        const int step = std::max(m_mode->getRepeatStep(), 1);
        // At most 256 groups a command, and never more result bits than one
        // vendor read carries.
        const int repeat = std::max(1, std::min({totalBlocks / step / planeFactor, 256,
                                                 maxRepeat(m_table.getPlaneLayout(), perPage)}));
        m_mode->setRepeatTime(repeat);
        stride = step * repeat * planeFactor;
    }
    const _FLASH_CHIP_INFO& chip = *device->getFlashInfo()->getChipInfo();
    const int present = chip.TLC != 0 && chip.RealBlockPerChip > 0 ? chip.RealBlockPerChip : perChip;
    Sptr<ScanBitmap> pattern = m_mode->getScanBitmap();
    TESSOR_ASSERT(pattern);
    for (int block = m_mode->getStartBlock(); block < totalBlocks; block += stride) {
        // Triple-level-cell chips have no blocks past their real count.
        if (block % perChip >= present) {
            continue;
        }
        for (int page = m_mode->getStartPage(); page < pages; ++page) {
            // The last group of a layout that does not split the flash evenly
            // names units past its end: the firmware refuses those.
            const int64_t sector = static_cast<int64_t>(block) * pages * perPage + page * perPage * planeFactor;
            if (pattern->isScan(page) && sector < total) {
                m_scanSectors.push_back(static_cast<int>(sector));
            }
        }
    }
}

void ScanObjectScan::addSmallPageChunks(int planeFactor)
{
    schema::UsbDevice* device = getDevice();
    const schema::DiskInfo& disk = *device->getDiskInfo();
    const int perBlock = disk.getSectorsPerBlock();
    const int perPage = disk.getSectorsPerPage();
    int chunk = schema::UsbConfiguration::instance()->scanIsBigBuffer() ? 0x400 : 0x100;
    if (planeFactor > 1) {
        chunk = perBlock * planeFactor / 8;
    }
    const int64_t bytes = static_cast<int64_t>(disk.getTotalSectors()) / 8;
    for (int64_t i = 0; i < bytes; i += chunk) {
        const int64_t sector = 8 * i;
        m_addressSet->addData(Sptr<schema::BaseAddress>(
            new schema::BaseAddress(device, static_cast<int>(sector / perBlock),
                                    static_cast<int>(sector / perPage % disk.getPagesPerBlock()),
                                    static_cast<int>(sector % perPage))));
    }
}

int ScanObjectScan::writeFlash(int /*pass*/)
{
    schema::UsbDevice* device = getDevice();
    TESSOR_ASSERT(m_mode && m_firstAddress);
    const ScanPlaneLayout layout = m_table.getPlaneLayout();
    const int planeFactor = layout.factor();
    const uint32_t started = schema::SystemInfo::getSystemTick();
    const schema::DiskInfo& disk = *device->getDiskInfo();
    const int perPage = disk.getSectorsPerPage();
    const int step = std::max(m_mode->getRepeatStep(), 1);
    std::vector<unsigned char> buffer(0x800, 0);
    PatternBlock pattern(device);
    int jump = 0;
    int repeat = 0;
    if (isSmallPageFirmware(device)) {
        jump = disk.getSectorsPerBlock() * step * planeFactor * planeFactor;
        repeat = std::min(m_mode->getRepeatTime(), bufferUnits()) / planeFactor;
        CPLOG(7, "repeatTime = %d ,jumpSectors =%d", repeat, jump);
    } else {
        jump = disk.getSectorsPerBlock() * step * planeFactor;
        repeat = m_mode->getRepeatTime();
    }
    repeat = std::min(repeat, maxRepeat(layout, perPage));
    const int64_t groupSectors = static_cast<int64_t>(layout.chips) * disk.getBlocksPerChip() * disk.getSectorsPerBlock();
    const float share = m_scanSectors.empty() ? 0.0f : 60.0f / static_cast<float>(m_scanSectors.size());
    for (const int s : m_scanSectors) {
        if (!pattern.send(s, groupSectors, 1, jump, repeat, buffer.data())) {
            CPLOG(3, "Read Bitmap of scan sector for device %s failed", device->getName());
            return schema::DeviceCode::ACCESS_FAILED;
        }
        if (const int cancel = device->checkCancel(); cancel != 0) {
            return cancel;
        }
        m_progress.add(device, share);
    }
    const uint32_t elapsed = schema::SystemInfo::getSystemTick() - started;
    CPLOG(7, "Write Scan elasped %d s %d ms", static_cast<int>(elapsed / 1000), static_cast<int>(elapsed % 1000));
    m_progress.reset();
    return 0;
}

int ScanObjectScan::updateBitmap(const unsigned char* data, int start)
{
    if (start >= 0) {
        const int length = static_cast<int>((static_cast<int64_t>(getDevice()->getDiskInfo()->getTotalSectors()) + 7) / 8);
        return m_sectorBitmap->updateBitmap(data, length - start / 8, start);
    }
    const float share = m_scanSectors.empty() ? 0.0f : 40.0f / static_cast<float>(m_scanSectors.size());
    m_progress.add(getDevice(), share);
    return 0;
}

}  // namespace Tessor::usb
