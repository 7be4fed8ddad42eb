// Controller variants by their chip-set number; each has its own record layouts.
#pragma once

namespace Tessor::usb {

enum class CfgVariant {
    V6706 = 1,
    V6716 = 3,
    V6716V31 = 4,
    V6716V32 = 5,
    V6726 = 6,
    V6605 = 7,
};

}  // namespace Tessor::usb
