#include "usb/scan/ScanModeFactory.h"

#include "schema/base/Assert.h"
#include "schema/device/UsbDevice.h"

namespace Tessor::usb {

ScanModeFactory::ScanModeFactory(schema::UsbDevice* device)
    : ScanModeFactory(device, ScanGeometry::ofDevice(device), device->getScanBitmapFactory())
{
}

ScanModeFactory::ScanModeFactory(schema::UsbDevice* device, const ScanGeometry& geometry,
                                 Sptr<ScanBitmapFactory> patterns)
    : BaseData(device, "ScanModeFactory"), m_pagesPerBlock(geometry.pagesPerBlock), m_patterns(patterns)
{
    TESSOR_ASSERT(m_pagesPerBlock > 0);
    TESSOR_ASSERT(m_patterns);
    if (geometry.tlc) {
        tlcInit();
    } else {
        ScanModeFactory::init();
    }
}

Sptr<ScanMode> ScanModeFactory::getScanMode(_FACTORY_PRESCAN_MODE key)
{
    auto found = m_modes.find(key);
    TESSOR_ASSERT(found != m_modes.end());
    return found->second;
}

int ScanModeFactory::init()
{
    static const Entry catalogue[] = {
        {PRESCAN_ALL_BLOCK_ALL_PAGE, "ScanAllBlockAllPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_ALL},
        {PRESCAN_ALL_BLOCK_4K_IGNORE_H, "ScanAllBlock4KIgnoreHPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_4K_IGNORE_H},
        {PRESCAN_ALL_BLOCK_4K_IGNORE_L, "ScanAllBlock4KIgnoreLPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_4K_IGNORE_L},
        {PRESCAN_ALL_BLOCK_2K_IGNORE_H, "ScanAllBlock2KIgnoreHPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_2K_EVEN},
        {PRESCAN_ALL_BLOCK_2K_IGNORE_L, "ScanAllBlock2KIgnoreLPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_2K_ODD},
        {PRESCAN_ODD_BLOCK_ALL_PAGE, "ScanOddBlockAllPagePreScan", SCAN_BLOCK_ODD, SCAN_PAGE_ALL},
        {PRESCAN_EVEN_BLOCK_ALL_PAGE, "ScanEvenBlockAllPagePreScan", SCAN_BLOCK_EVEN, SCAN_PAGE_ALL},
        {PRESCAN_FORMER_HALF_OF_ALL_BLOCK, "ScanFormerHalfofAllBlockPreScan", SCAN_BLOCK_ALL, SCAN_PAGE_FORMER_HALF},
        {PRESCAN_AFTER_HALF_OF_ALL_BLOCK, "ScanAfterHalfofAllBlockPreScan", SCAN_BLOCK_ALL, SCAN_PAGE_AFTER_HALF},
    };
    build(catalogue);
    return 0;
}

int ScanModeFactory::tlcInit()
{
    static const Entry catalogue[] = {
        {PRESCAN_TLC_ALL_PAGE, "ScanTLCAllPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_TLC_ALL},
        {PRESCAN_TLC_BC_PAGE, "ScanTLCBCPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_TLC_BC},
        {PRESCAN_TLC_B_PAGE, "ScanTLCBPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_TLC_B},
        {PRESCAN_TLC_AB_PAGE, "ScanTLCABPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_TLC_AB},
        {PRESCAN_TLC_A_PAGE, "ScanTLCAPagePreScan", SCAN_BLOCK_ALL, SCAN_PAGE_TLC_A},
    };
    build(catalogue);
    return 0;
}

template <size_t N>
void ScanModeFactory::build(const Entry (&catalogue)[N])
{
    for (const Entry& entry : catalogue) {
        Sptr<ScanBitmap> pattern = m_patterns->getScanBitmap(entry.pageMode);
        Sptr<ScanMode> mode(new ScanMode(entry.blockMode, entry.name));
        mode->setScanBitmap(pattern);
        m_modes[entry.key] = mode;
    }
}

}  // namespace Tessor::usb
