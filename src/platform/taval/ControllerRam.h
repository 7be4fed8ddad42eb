// Volatile memory of the simulated controller: the configuration table in
// RAM and the code pieces downloaded into it. Cleared at plug-in and when
// the tool closes the device.
#pragma once

#include <cstdint>
#include <vector>

namespace Tessor::taval {

struct CodePiece {
    uint8_t mode;  // 1 = high-format rebuild zone, else 0
    std::vector<uint8_t> bytes;
};

class ControllerRam {
public:
    void clear();

    void setTable(const uint8_t* table, int length) { m_table.assign(table, table + length); }
    const std::vector<uint8_t>& table() const { return m_table; }

    void addCode(uint8_t mode, const uint8_t* code, int length);
    const std::vector<CodePiece>& code() const { return m_code; }

private:
    std::vector<uint8_t> m_table;
    std::vector<CodePiece> m_code;
};

}  // namespace Tessor::taval
