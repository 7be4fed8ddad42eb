#include "platform/taval/ControllerRam.h"

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

void ControllerRam::addCode(uint8_t mode, const uint8_t* code, int length) {
    m_code.push_back({mode, std::vector<uint8_t>(code, code + length)});
}

}  // namespace Tessor::taval
