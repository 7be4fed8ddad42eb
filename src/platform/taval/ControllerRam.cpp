#include "platform/taval/ControllerRam.h"

#include <cstring>

#include "platform/orrin/PlatformLog.h"

namespace Tessor::taval {

void ControllerRam::clear() {
    m_table.clear();
    m_units = RamLunTable{};
    m_code.clear();
}

void ControllerRam::setTable(const Variant& variant, const uint8_t* table) {
    m_table.assign(table, table + variant.tableLength);
    m_units = RamLunTable::read(variant, m_table);
}

namespace {

constexpr int kVariant6605 = 7;

bool sealHolds(const uint8_t* code, int length) {
    const int words = length / 4;
    if (words < 2) {
        return false;
    }
    uint32_t x = 0;
    for (int i = 0; i < words - 1; ++i) {
        uint32_t w;
        std::memcpy(&w, code + 4 * i, 4);
        x ^= w;
    }
    uint32_t last;
    std::memcpy(&last, code + 4 * (words - 1), 4);
    return last == x;
}

}  // namespace

bool ControllerRam::addCode(const Variant& variant, uint8_t mode, const uint8_t* code, int length) {
    if (mode > 1) {
        PLATFORM_LOG(3, "code piece of %d bytes refused: there is no firmware mode %d", length, mode);
        return false;
    }
    if (variant.id.chipSet != kVariant6605 && !sealHolds(code, length)) {
        PLATFORM_LOG(3, "code piece of %d bytes in mode %d refused: its seal does not hold", length, mode);
        return false;
    }
    if (firmwareMode() != mode) {
        m_modes.push_back(mode);
    }
    m_code.push_back({mode, std::vector<uint8_t>(code, code + length)});
    return true;
}

}  // namespace Tessor::taval
