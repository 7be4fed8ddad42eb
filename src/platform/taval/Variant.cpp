#include "platform/taval/Variant.h"

namespace Tessor::taval {

namespace {
const Variant kVariants[] = {
    {{1, "6706"}, {1, 240, "USB Flash Disk 6706"}, "2.40", 512},
    {{3, "6716"}, {3, 300, "USB Flash Disk 6716"}, "3.00", 512},
    {{4, "6716V31"}, {4, 310, "USB Flash Disk 6716V31"}, "3.10", 512},
    {{5, "6716V32"}, {5, 320, "USB Flash Disk 6716V32"}, "3.20", 512},
    {{6, "6726"}, {6, 400, "USB Flash Disk 6726"}, "4.00", 513},
    {{7, "6605"}, {7, 600, "USB Flash Disk 6605"}, "6.00", 512},
};
}  // namespace

const Variant* findVariant(const std::string& name) {
    for (const Variant& v : kVariants) {
        if (name == v.id.name) {
            return &v;
        }
    }
    return nullptr;
}

const Variant* findVariantByChipSet(int chipSet) {
    for (const Variant& v : kVariants) {
        if (chipSet == v.id.chipSet) {
            return &v;
        }
    }
    return nullptr;
}

}  // namespace Tessor::taval
