// Volatile memory of the simulated controller: the configuration table in
// RAM with the logical units it describes, and the code pieces downloaded
// into it. Cleared at plug-in and when the tool closes the device.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/taval/RamLunTable.h"
#include "platform/taval/Variant.h"

namespace Tessor::taval {

struct CodePiece {
    uint8_t mode;  // 1 = high-format rebuild zone, else 0
    std::vector<uint8_t> bytes;
    // The last little-endian word is the XOR of the others; 6605 pieces
    // carry no seal and always count as sealed.
    bool sealed;
};

class ControllerRam {
public:
    void clear();

    // Takes the variant's table length and serves the units it lists.
    void setTable(const Variant& variant, const uint8_t* table);
    const std::vector<uint8_t>& table() const { return m_table; }
    const RamLunTable& units() const { return m_units; }

    void addCode(const Variant& variant, uint8_t mode, const uint8_t* code, int length);
    const std::vector<CodePiece>& code() const { return m_code; }

private:
    std::vector<uint8_t> m_table;
    RamLunTable m_units;
    std::vector<CodePiece> m_code;
};

}  // namespace Tessor::taval
