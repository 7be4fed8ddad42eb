#include "usb/scan/ScanMode.h"

#include "schema/base/Assert.h"
#include "usb/scan/SampleFactory.h"

namespace Tessor::usb {

ScanMode::ScanMode(_SCAN_BLOCK_MODE blockMode, std::string name) : BaseData(name), m_modeType(blockMode)
{
    ScanMode::init();
}

void ScanMode::setScanBitmap(Sptr<ScanBitmap> scanBitmap)
{
    TESSOR_ASSERT(scanBitmap);
    m_scanBitmap = scanBitmap;
}

int ScanMode::init()
{
    SampleFactory* samples = SampleFactory::instance();
    m_repeatTime = samples != nullptr ? samples->getSectorCount() : SampleFactory::DEFAULT_SECTOR_COUNT;
    m_repeatStep = 1;
    m_startBlock = 0;
    m_startPage = 0;
    if (m_modeType == SCAN_BLOCK_EVEN) {
        m_repeatStep = 2;
    } else if (m_modeType == SCAN_BLOCK_ODD) {
        m_startBlock = 1;
        m_repeatStep = 2;
    }
    return 0;
}

}  // namespace Tessor::usb
