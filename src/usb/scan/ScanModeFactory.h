// The catalogue of pre-scan modes for one device's flash kind.
#pragma once

#include <cstdint>
#include <map>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "usb/scan/ScanBitmapFactory.h"
#include "usb/scan/ScanGeometry.h"
#include "usb/scan/ScanMode.h"

namespace Tessor::usb {

enum _FACTORY_PRESCAN_MODE : int32_t {
    PRESCAN_ALL_BLOCK_ALL_PAGE = 1,
    PRESCAN_EVEN_BLOCK_ALL_PAGE = 2,
    PRESCAN_ODD_BLOCK_ALL_PAGE = 3,
    PRESCAN_ALL_BLOCK_2K_IGNORE_L = 4,
    PRESCAN_ALL_BLOCK_2K_IGNORE_H = 5,
    PRESCAN_FORMER_HALF_OF_ALL_BLOCK = 6,
    PRESCAN_AFTER_HALF_OF_ALL_BLOCK = 7,
    PRESCAN_ALL_BLOCK_4K_IGNORE_L = 8,
    PRESCAN_ALL_BLOCK_4K_IGNORE_H = 9,
    PRESCAN_TLC_ALL_PAGE = 18,
    PRESCAN_TLC_BC_PAGE = 19,
    PRESCAN_TLC_B_PAGE = 20,
    PRESCAN_TLC_AB_PAGE = 21,
    PRESCAN_TLC_A_PAGE = 22,
};

class ScanModeFactory : public schema::BaseData {
public:
    // Needs the device's page-pattern factory.
    explicit ScanModeFactory(schema::UsbDevice* device);
    ScanModeFactory(schema::UsbDevice* device, const ScanGeometry& geometry, Sptr<ScanBitmapFactory> patterns);

    // Shared: a change through one handle is seen through every other.
    Sptr<ScanMode> getScanMode(_FACTORY_PRESCAN_MODE key);

protected:
    int init() override;
    int tlcInit();

private:
    struct Entry {
        _FACTORY_PRESCAN_MODE key;
        const char* name;
        _SCAN_BLOCK_MODE blockMode;
        _SCAN_PAGE_MODE pageMode;
    };
    template <size_t N>
    void build(const Entry (&catalogue)[N]);

    int32_t m_pagesPerBlock;
    std::map<_FACTORY_PRESCAN_MODE, Sptr<ScanMode>> m_modes;
    Sptr<ScanBitmapFactory> m_patterns;
};

}  // namespace Tessor::usb
