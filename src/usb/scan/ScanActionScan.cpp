#include "usb/scan/ScanActionScan.h"

#include <algorithm>
#include <vector>

#include "platform/taval/Taval.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/UsbDevice.h"
#include "usb/cmd/BitRange.h"
#include "usb/scan/PatternBlock.h"
#include "usb/scan/ScanLimits.h"
#include "usb/scan/ScanMode.h"
#include "usb/scan/ScanObject.h"
#include "schema/base/UsbConfiguration.h"

namespace Tessor::usb {

ScanActionScan::ScanActionScan(ScanObject* engine, const std::string& name, _SCAN_ACTION_TYPE type)
    : ScanAction(engine, name, type)
{
    init();
}

int ScanActionScan::myInit()
{
    m_workLength = 512;
    return 0;
}

int ScanActionScan::myScan(int reading)
{
    if (m_type == SCAN_ACTION_PRESCAN) {
        return ScanAction::myScan(reading);
    }
    schema::UsbDevice* device = getDevice();
    TESSOR_ASSERT(device != nullptr);
    Sptr<ScanMode> mode = m_engine->getScanMode();
    TESSOR_ASSERT(mode);
    const ScanPlaneLayout layout = m_engine->getTable().getPlaneLayout();
    const int64_t planes = layout.planes;
    const int64_t ganged = static_cast<int64_t>(layout.interleaves) * layout.chips;  // I x K
    const int64_t units = layout.factor();                                            // W
    const schema::DiskInfo& disk = *device->getDiskInfo();
    const int64_t perBlock = disk.getSectorsPerBlock();
    const int perPage = disk.getSectorsPerPage();
    const int64_t total = static_cast<int64_t>(disk.getTotalSectors());
    const uint32_t started = schema::SystemInfo::getSystemTick();

    std::vector<unsigned char> result(2048, 0xFF);
    // Every sector failed until a read reports it good.
    std::vector<unsigned char> bitmap(static_cast<size_t>((total + 7) / 8), 0xFF);
    int64_t jump = 0;
    if (isSmallPageFirmware(device)) {
        jump = perPage * units;
        m_repeat = units > 1 ? disk.getPagesPerBlock() : kScanResultBits / static_cast<int>(perPage * units);
    } else {
        jump = perBlock * std::max(mode->getRepeatStep(), 1) * units;
        m_repeat = mode->getRepeatTime();
    }
    // Every result bit must fit in the transfer of one vendor read.
    m_repeat = std::min(m_repeat, maxRepeat(layout, perPage));

    PatternBlock pattern(device);
    bool reportedPastEnd = false;
    const int64_t groupSectors = layout.chips * static_cast<int64_t>(disk.getBlocksPerChip()) * perBlock;
    for (const int s : m_engine->getScanSectors()) {
        if (const int cancel = device->checkCancel(); cancel != 0) {
            return cancel;
        }
        if (!pattern.send(s, groupSectors, 2, static_cast<int>(jump), m_repeat, result.data())) {
            CPLOG(3, "Read Bitmap of scan sector for device %s failed", device->getName());
            return schema::DeviceCode::ACCESS_FAILED;
        }
        const int64_t r = s % (perBlock * units);
        const int64_t base = (s - r) / ganged + r / units;
        for (int64_t t = 0; t < m_repeat; ++t) {
            for (int64_t k = 0; k < ganged; ++k) {
                for (int64_t m = 0; m < planes; ++m) {
                    const int64_t target = base + (t * jump * planes) / units + k * (total / ganged) + m * perBlock;
                    if (target >= total) {
                        // A unit past the end of the flash (a block count that the
                        // stride does not divide): nothing to record there.
                        if (!reportedPastEnd) {
                            CPLOG(7, "total chipNO=%d,block =%d,Block =%d", disk.getChipsPerDisk(),
                                  disk.getBlocksPerChip(), disk.getTotalBlocks());
                            CPLOG(3, "sectorNo(%lld) is bigger than the totalSectors(%lld)",
                                  static_cast<long long>(target), static_cast<long long>(total));
                            reportedPastEnd = true;
                        }
                        continue;
                    }
                    // A lane that does not start on a page boundary (three planes
                    // or interleaves) names the page its unit falls in, as the
                    // firmware does.
                    const int64_t first = target - target % perPage;
                    const int64_t source = (t * units + k * planes + m) * perPage;
                    for (int i = 0; i < perPage; ++i) {
                        if (!BitRange::test(result.data(), source + i)) {
                            BitRange::clear(bitmap.data(), first + i);
                        }
                    }
                }
            }
        }
        if (const int progress = m_engine->updateBitmap(result.data(), -1); progress != 0) {
            return progress;
        }
    }
    const int updated = m_engine->updateBitmap(bitmap.data(), 0);
    // A copy for diagnosis only.
    (void)usbWriteFile(schema::UsbConfiguration::instance()->getOutputPath("ScanBitmap").c_str(), bitmap.data(), static_cast<int>(bitmap.size()), 0);
    const uint32_t elapsed = schema::SystemInfo::getSystemTick() - started;
    CPLOG(7, "Read Scan elasped %d s %d ms", static_cast<int>(elapsed / 1000), static_cast<int>(elapsed % 1000));
    return updated;
}

unsigned char* ScanActionScan::readScanAddress(Sptr<schema::BaseAddress> address, int /*reading*/)
{
    TESSOR_ASSERT(m_engine->getScanMode());
    CPLOG(7, "read sector NO %d", address->getPhyAddress());
    return readPageUnits(address);
}

int ScanActionScan::compareScanAddress(Sptr<schema::BaseAddress> address, int /*reading*/)
{
    return handToEngine(address);
}

}  // namespace Tessor::usb
