// The pre-scan: measures a small set of factory modes on a sample of blocks,
// each read twice, and gives the device the mode whose readings agree best
// as its scan mode and pro-scan mode number.
#pragma once

#include <map>
#include <vector>

#include "usb/scan/PreScanGrading.h"
#include "usb/scan/ScanModeFactory.h"
#include "usb/scan/ScanObject.h"
#include "usb/scan/ScanProgress.h"

namespace Tessor::usb {

class ScanObjectScanPre : public ScanObject {
public:
    static constexpr int MAX_MODES = 15;

    ScanObjectScanPre(schema::UsbDevice* device, const std::string& name);

    int myInit() override;
    int myInitLater() override;
    int tlcInit();
    [[nodiscard]] int scan() override;
    [[nodiscard]] int erase() override;
    int getScanBlocksCount() override { return m_blockCount; }
    Sptr<schema::BaseAddress> getScanAddress(int index) override;
    [[nodiscard]] int updateBitmap(const unsigned char* data, int index) override;
    using ScanObject::writeFlash;
    [[nodiscard]] int writeFlash(int reading) override;

    void addFactoryScanMode(_FACTORY_PRESCAN_MODE key);
    void setBlockCount(int count) { m_blockCount = count; }
    const std::vector<int>& getBlockList() const { return m_blockList; }
    int getModeCount() const { return static_cast<int>(m_readings.size()); }

    // 0 with the device's scan mode set; -1 when no mode could be chosen.
    [[nodiscard]] int determineMode();
    // Always 0.
    [[nodiscard]] int determineTLCMode();

private:
    [[nodiscard]] int calculateDiffers();
    [[nodiscard]] int calculateCapacity();
    [[nodiscard]] int calculateTLCDiffers();
    [[nodiscard]] int calculateTLCCapacity();
    void fillBlockList(int step);
    int readingBytes() const { return m_blockCount * m_bytesPerBlock; }
    void storeMode(int pageMode, int blockMode, int proScanMode);

    int m_blockCount;
    std::vector<int> m_blockList;
    int m_reading = 0;
    int m_updateCounter = 0;
    std::map<_FACTORY_PRESCAN_MODE, std::vector<unsigned char>> m_readings;
    Sptr<ScanModeFactory> m_modeFactory;
    int m_currentKey = 0;
    int m_bytesPerBlock = 0;
    std::vector<PreScanCounts> m_counts;
    int m_firstChoice = -1;
    int m_secondChoice = -1;
    ScanProgress m_progress;
};

}  // namespace Tessor::usb
