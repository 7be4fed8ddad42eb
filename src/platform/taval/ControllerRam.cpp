#include "platform/taval/ControllerRam.h"

namespace Tessor::taval {

void ControllerRam::clear() {
    m_table.clear();
    m_code.clear();
}

void ControllerRam::addCode(uint8_t mode, const uint8_t* code, int length) {
    m_code.push_back({mode, std::vector<uint8_t>(code, code + length)});
}

}  // namespace Tessor::taval
