#include "usb/cfg/CfgTableLayout.h"

namespace Tessor::usb {

CfgTableLayout CfgTableLayout::of(CfgVariant variant)
{
    switch (variant) {
    case CfgVariant::V6706: return {0x00C, 0x049, 0x086, 0x0EE, TBL_INFO, -1, 0x1FF, 512};
    case CfgVariant::V6716: return {0x00C, 0x03E, 0x07F, 0x100, TBL_INFO, -1, 0x1FF, 512};
    case CfgVariant::V6716V31:
    case CfgVariant::V6716V32: return {0x00C, 0x042, 0x087, 0x11C, INFO_V31, -1, 0x1AF, 512};
    case CfgVariant::V6726: return {0x00C, 0x043, 0x088, 0x11D, INFO_V31, -1, 0x1B0, 513};
    case CfgVariant::V6605: return {0x00C, 0x03C, 0x07D, 0x0E2, INFO_6605, 0x172, 0x1FF, 512};
    }
    return {};
}

std::optional<CfgVariant> CfgTableLayout::variantOf(int chipSet)
{
    switch (chipSet) {
    case 1: return CfgVariant::V6706;
    case 3: return CfgVariant::V6716;
    case 4: return CfgVariant::V6716V31;
    case 5: return CfgVariant::V6716V32;
    case 6: return CfgVariant::V6726;
    case 7: return CfgVariant::V6605;
    default: return std::nullopt;
    }
}

}  // namespace Tessor::usb
