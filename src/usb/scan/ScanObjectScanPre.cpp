#include "usb/scan/ScanObjectScanPre.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/orrin/Sector.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "usb/profile/FlashInfo.h"
#include "usb/scan/PatternBlock.h"
#include "usb/scan/SampleFactory.h"
#include "usb/scan/ScanActionPreScan.h"
#include "usb/scan/ScanBitmapFactory.h"
#include "usb/scan/ScanLimits.h"
#include "usb/scan/ScanMode.h"

namespace Tessor::usb {

namespace {

constexpr int kRunBlocks = 8;
// Pre-scan firmware (small-page) writes and reads four units a command.
constexpr int kSmallPageRepeat = 4;
constexpr int kSmallPageModesPerScan = 3;

struct Decision {
    int modeByte;
    int proScanMode;
    _SCAN_PAGE_MODE pageMode;
    _SCAN_BLOCK_MODE blockMode;
};

// By mode index (pre-scan mode key - 1).
constexpr Decision kDecisions[] = {
    {0xFF, 1, SCAN_PAGE_ALL, SCAN_BLOCK_ALL},
    {0xF2, 0x10, SCAN_PAGE_ALL, SCAN_BLOCK_EVEN},
    {0xF4, 0x11, SCAN_PAGE_ALL, SCAN_BLOCK_ODD},
    {0x40, 4, SCAN_PAGE_2K_ODD, SCAN_BLOCK_ALL},
    {0x41, 5, SCAN_PAGE_2K_EVEN, SCAN_BLOCK_ALL},
    {0xC1, 0xC1, SCAN_PAGE_FORMER_HALF, SCAN_BLOCK_ALL},
    {0xC0, 0xC0, SCAN_PAGE_AFTER_HALF, SCAN_BLOCK_ALL},
    {0x80, 8, SCAN_PAGE_4K_IGNORE_L, SCAN_BLOCK_ALL},
    {0x81, 9, SCAN_PAGE_4K_IGNORE_H, SCAN_BLOCK_ALL},
};
constexpr int kDecisionCount = static_cast<int>(std::size(kDecisions));

bool isTlc(schema::UsbDevice* device)
{
    Sptr<FlashInfo> flash = device->getFlashInfo();
    return flash && flash->getChipInfo()->TLC != 0;
}

}  // namespace

ScanObjectScanPre::ScanObjectScanPre(schema::UsbDevice* device, const std::string& name)
    : ScanObject(device, name),
      m_blockCount(device->getScanConfig()->getAutoMode() == 2 ? 32 : 64),
      m_modeFactory(new ScanModeFactory(device))
{
    if (isTlc(device)) {
        tlcInit();
    } else {
        init();
    }
}

int ScanObjectScanPre::myInit()
{
    schema::UsbDevice* device = getDevice();
    m_action = Sptr<ScanAction>(new ScanActionPreScan(this, "ScanObjectScanPre", SCAN_ACTION_PRESCAN));
    m_bytesPerBlock = (device->getDiskInfo()->getSectorsPerBlock() + 7) / 8;
    for (int key = PRESCAN_ALL_BLOCK_ALL_PAGE; key <= PRESCAN_AFTER_HALF_OF_ALL_BLOCK; ++key) {
        addFactoryScanMode(static_cast<_FACTORY_PRESCAN_MODE>(key));
    }
    if (device->getDiskInfo()->getSectorsPerPage() < 16) {
        addFactoryScanMode(PRESCAN_ALL_BLOCK_4K_IGNORE_L);
        addFactoryScanMode(PRESCAN_ALL_BLOCK_4K_IGNORE_H);
    }
    return 0;
}

int ScanObjectScanPre::tlcInit()
{
    schema::UsbDevice* device = getDevice();
    m_action = Sptr<ScanAction>(new ScanActionPreScan(this, "ScanObjectScanPre", SCAN_ACTION_PRESCAN));
    m_bytesPerBlock = (device->getDiskInfo()->getSectorsPerBlock() + 7) / 8;
    addFactoryScanMode(PRESCAN_TLC_ALL_PAGE);
    addFactoryScanMode(PRESCAN_TLC_BC_PAGE);
    addFactoryScanMode(PRESCAN_TLC_B_PAGE);
    switchEccOff();
    fillBlockList(device->getFlashInfo()->getChipInfo()->RealBlockPerChip / 8);
    return 0;
}

int ScanObjectScanPre::myInitLater()
{
    switchEccOff();
    fillBlockList(getDevice()->getDiskInfo()->getTotalBlocks() / 8);
    return 0;
}

void ScanObjectScanPre::fillBlockList(int step)
{
    m_blockList.assign(static_cast<size_t>(m_blockCount), 0);
    for (int g = 0; g < m_blockCount / 16; ++g) {
        for (int j = 0; j < kRunBlocks; ++j) {
            m_blockList[16 * g + j] = 2 * g * step + j;
            m_blockList[16 * g + 8 + j] = (2 * g + 1) * step + 8 + j;
        }
    }
}

void ScanObjectScanPre::addFactoryScanMode(_FACTORY_PRESCAN_MODE key)
{
    m_readings[key].assign(static_cast<size_t>(2 * readingBytes()), 0xFF);
}

Sptr<schema::BaseAddress> ScanObjectScanPre::getScanAddress(int index)
{
    if (index < 0 || index >= m_blockCount) {
        return {};
    }
    return Sptr<schema::BaseAddress>(new schema::BaseAddress(getDevice(), m_blockList[index], 0, 0));
}

int ScanObjectScanPre::erase()
{
    schema::UsbDevice* device = getDevice();
    m_updateCounter = 0;
    for (int i = 0; i < m_blockCount; i += kRunBlocks) {
        if (device->eraseBlocks(m_blockList[i], kRunBlocks) != 0) {
            // The system logs the list position here, not the block.
            CPLOG(3, "%s erase block (%d) failed", device->getName(), i);
            return schema::DeviceCode::ERASE_FAILED;
        }
    }
    return 0;
}

int ScanObjectScanPre::writeFlash(int reading)
{
    schema::UsbDevice* device = getDevice();
    const schema::DiskInfo& disk = *device->getDiskInfo();
    const bool smallPage = isSmallPageFirmware(device);
    PatternBlock pattern(device);
    std::vector<unsigned char> work(2048, 0);
    m_scanSectors.clear();
    m_reading = reading;

    const int key = smallPage ? m_currentKey + m_updateCounter / m_blockCount : m_currentKey;
    Sptr<ScanMode> mode = m_modeFactory->getScanMode(static_cast<_FACTORY_PRESCAN_MODE>(key));
    TESSOR_ASSERT(mode);
    setScanMode(mode);

    const unsigned char* sample = nullptr;
    int sampleSectors = 0;
    if (smallPage) {
        SampleFactory* samples = SampleFactory::instance();
        sample = reinterpret_cast<const unsigned char*>(samples->getSampleBuffer(reading, false));
        sampleSectors = samples->getSectorCount();
        static constexpr unsigned char kPrepare[2] = {0xFF, 0xFF};
        if (device->writeScanSectors(0, 0, 0, 3, 0, 0, 1, kPrepare) != 0) {
            CPLOG(3, "Write scan sector of device %s failed", device->getName());
            return schema::DeviceCode::ACCESS_FAILED;
        }
    }
    const int perPage = disk.getSectorsPerPage();
    const int perBlock = disk.getSectorsPerBlock();
    const int perChip = disk.getBlocksPerChip();
    const int step = std::max(mode->getRepeatStep(), 1);
    const int jump = perBlock * step;
    const int repeat = smallPage ? kSmallPageRepeat : kRunBlocks / step;
    if (!smallPage) {
        mode->setRepeatTime(repeat);
    }
    Sptr<ScanBitmap> pages = mode->getScanBitmap();
    TESSOR_ASSERT(pages);
    CPLOG(7, "pre scan page mode %d,%s", key, pages->getName());
    int sampleOffset = 0;
    for (int i = mode->getStartBlock(); i < m_blockCount; i += kRunBlocks) {
        const int block = m_blockList[i];
        const int chip = block / perChip;
        const int base = block % perChip * perBlock;
        for (int page = mode->getStartPage(); page < disk.getPagesPerBlock(); ++page) {
            if (pages->isScan(page)) {
                const int sector = base + page * perPage;
                if (smallPage) {
                    if (device->writeScanSectors(static_cast<unsigned char>(chip), static_cast<unsigned>(sector),
                                                 pattern.bytes()[0], 1, static_cast<unsigned short>(jump),
                                                 static_cast<unsigned short>(repeat),
                                                 static_cast<unsigned char>(perPage),
                                                 sample + sampleOffset * SECTOR_BYTES) != 0) {
                        CPLOG(3, "Write scan sector of device %s failed", device->getName());
                        return schema::DeviceCode::ACCESS_FAILED;
                    }
                } else {
                    const int listed = chip * perChip * perBlock + sector;
                    m_scanSectors.push_back(listed);
                    if (!pattern.send(listed, perChip * perBlock, 1, jump, repeat, work.data())) {
                        CPLOG(3, "Write scan sector of device %s failed", device->getName());
                        return schema::DeviceCode::ACCESS_FAILED;
                    }
                }
                if (const int cancel = device->checkCancel(); cancel != 0) {
                    return cancel;
                }
            }
            if (smallPage) {
                sampleOffset += perPage;
                if (sampleOffset >= sampleSectors) {
                    sampleOffset = 0;
                }
            }
        }
    }
    if (smallPage) {
        const int lastChip = m_blockList.back() / perChip;
        if (device->readScanSectors(static_cast<unsigned char>(lastChip), 0, pattern.bytes(), 1,
                                    static_cast<unsigned short>(jump), static_cast<unsigned short>(repeat),
                                    1) == nullptr) {
            CPLOG(3, "read scan sector with command of read status of device %s failed", device->getName());
            return schema::DeviceCode::ACCESS_FAILED;
        }
    }
    return 0;
}

int ScanObjectScanPre::updateBitmap(const unsigned char* data, int /*index*/)
{
    schema::UsbDevice* device = getDevice();
    const int bytes = readingBytes();
    if (!isSmallPageFirmware(device)) {
        auto it = m_readings.find(static_cast<_FACTORY_PRESCAN_MODE>(m_currentKey));
        if (it != m_readings.end()) {
            std::memcpy(it->second.data() + m_reading * bytes, data, static_cast<size_t>(bytes));
        }
        CPLOG(7, "this is %d times", m_reading + 1);
    } else {
        // One block a call; the write side counts modes by the same rule.
        const int target = m_currentKey + m_updateCounter / m_blockCount;
        const int slot = m_reading * m_blockCount + m_updateCounter % m_blockCount;
        CPLOG(7, " updateMode is %d , index = %d,bytesPerBlock = %d", target, slot, m_bytesPerBlock);
        auto it = m_readings.find(static_cast<_FACTORY_PRESCAN_MODE>(target));
        if (it != m_readings.end()) {
            unsigned char* place = it->second.data() + static_cast<size_t>(slot) * m_bytesPerBlock;
            if (target % 3 == 2 && m_updateCounter % 2 == 0) {
                std::memset(place, 0xFF, static_cast<size_t>(m_bytesPerBlock));
            } else {
                std::memcpy(place, data, static_cast<size_t>(m_bytesPerBlock));
            }
        }
    }
    ++m_updateCounter;
    return device->checkCancel();
}

int ScanObjectScanPre::scan()
{
    schema::UsbDevice* device = getDevice();
    const bool smallPage = isSmallPageFirmware(device);
    const float step = (smallPage ? 270.0f : 90.0f) / static_cast<float>(m_readings.size());
    m_progress.reset();
    int skip = 0;
    for (const auto& [key, buffer] : m_readings) {
        if (skip > 0) {
            --skip;
            continue;
        }
        m_currentKey = key;
        if (!smallPage) {
            CPLOG(7, "Current Scan Mode is %d", key);
        }
        if (const int result = m_action->scan(); result != 0) {
            CPLOG(3, "device %s execute scan of %s failed", device->getName(), m_action->getName());
            return result;
        }
        if (smallPage) {
            skip = kSmallPageModesPerScan - 1;
        }
        m_progress.add(device, step);
    }
    return 0;
}

int ScanObjectScanPre::calculateDiffers()
{
    const int n = static_cast<int>(m_readings.size());
    const int bytes = readingBytes();
    m_counts.assign(static_cast<size_t>(n), PreScanCounts{});
    for (int i = 0; i < n; ++i) {
        auto it = m_readings.find(static_cast<_FACTORY_PRESCAN_MODE>(i + 1));
        if (it == m_readings.end()) {
            CPLOG(3, "PreScan calculate DifCount and ErrCount Error!");
            return -1;
        }
        CPLOG(7, " preScanMode =%d,modeSize = %d ,modeIndex =%d", it->first, 2 * bytes, i);
        const unsigned char* first = it->second.data();
        const unsigned char* second = first + bytes;
        for (int j = 0; j < bytes; ++j) {
            m_counts[i].errors += std::popcount(static_cast<unsigned>(second[j] | first[j]));
            m_counts[i].differences += std::popcount(static_cast<unsigned>(second[j] ^ first[j]));
        }
    }
    CPLOG(7, " modeSize =%d", n);
    for (int i = 0; i < n; ++i) {
        CPLOG(7, " ErrCount[%d] =%d,  DifCount[%d] = %d", i, m_counts[i].errors, i, m_counts[i].differences);
    }
    return 0;
}

int ScanObjectScanPre::calculateCapacity()
{
    const schema::DiskInfo& disk = *getDevice()->getDiskInfo();
    // Half the sampled sectors: one reading of every sample block.
    const int reference = m_blockCount / 2 * disk.getSectorsPerBlock();
    const int choice = PreScanGrading::chooseMode(m_counts, reference, disk.getSectorsPerPage());
    if (choice != PreScanGrading::NO_CHOICE) {
        m_firstChoice = choice;
    }
    return 0;
}

int ScanObjectScanPre::determineMode()
{
    if (calculateDiffers() == 0) {
        (void)calculateCapacity();  // the counts it leaves are what is used
    }
    int modeWord = 0;
    int proScanMode = 1;
    _SCAN_PAGE_MODE pageMode = SCAN_PAGE_ALL;
    _SCAN_BLOCK_MODE blockMode = SCAN_BLOCK_ALL;
    for (const auto& [choice, shift] : {std::pair{m_secondChoice, 8}, std::pair{m_firstChoice, 0}}) {
        if (choice < 0 || choice >= kDecisionCount) {
            continue;
        }
        const Decision& d = kDecisions[choice];
        modeWord |= d.modeByte << shift;
        proScanMode = d.proScanMode;
        pageMode = d.pageMode;
        blockMode = d.blockMode;
    }
    if (modeWord == 0) {
        CPLOG(0, "Pre Scan failed");
        return -1;
    }
    CPLOG(7, "pre scan decide mode %d", modeWord);
    CPLOG(7, "pre scan decide blockMode %d", blockMode);
    CPLOG(7, "pre scan decide proScanMode %d", proScanMode);
    storeMode(pageMode, blockMode, proScanMode);
    return 0;
}

void ScanObjectScanPre::storeMode(int pageMode, int blockMode, int proScanMode)
{
    schema::UsbDevice* device = getDevice();
    Sptr<ScanBitmapFactory> patterns = device->getScanBitmapFactory();
    TESSOR_ASSERT(patterns);
    Sptr<ScanBitmap> pattern = patterns->getScanBitmap(static_cast<_SCAN_PAGE_MODE>(pageMode));
    TESSOR_ASSERT(pattern);
    CPLOG(7, "pre scan decide page mode %d,%s", pageMode, pattern->getName());
    Sptr<ScanMode> mode(new ScanMode(static_cast<_SCAN_BLOCK_MODE>(blockMode), "OptimizedScanBlockMode"));
    mode->setScanBitmap(pattern);
    device->setScanMode(mode);
    device->setProScanMode(proScanMode);
}

int ScanObjectScanPre::calculateTLCDiffers()
{
    const int bytes = readingBytes();
    m_counts.assign(m_readings.size(), PreScanCounts{});
    int i = 0;
    for (const auto& [key, buffer] : m_readings) {
        for (int j = 0; j < bytes; ++j) {
            m_counts[i].errors += std::popcount(static_cast<unsigned>(buffer[j + bytes] | buffer[j]));
            m_counts[i].differences += std::popcount(static_cast<unsigned>(buffer[j + bytes] ^ buffer[j]));
        }
        ++i;
    }
    return 0;
}

int ScanObjectScanPre::calculateTLCCapacity()
{
    const int perBlock = getDevice()->getDiskInfo()->getSectorsPerBlock();
    std::vector<int> keys;
    for (const auto& entry : m_readings) {
        keys.push_back(entry.first);
    }
    m_firstChoice = PreScanGrading::chooseTlcMode(m_counts, keys, m_blockCount * perBlock, perBlock);
    return 0;
}

int ScanObjectScanPre::determineTLCMode()
{
    (void)calculateTLCDiffers();  // the counts they leave are what is used
    (void)calculateTLCCapacity();
    int pageMode = SCAN_PAGE_TLC_ALL;
    int proScanMode = 0;
    if (m_firstChoice >= 0 && m_firstChoice <= 4) {
        pageMode = SCAN_PAGE_TLC_ALL + m_firstChoice;
        proScanMode = m_firstChoice + 1;
    }
    CPLOG(7, "pre scan decide blockMode %d", 0);
    storeMode(pageMode, SCAN_BLOCK_ALL, proScanMode);
    return 0;
}

}  // namespace Tessor::usb
