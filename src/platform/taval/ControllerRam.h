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
};

class ControllerRam {
public:
    static constexpr int kNoFirmware = -1;

    // Drops the table and the code; the firmware modes stay on record.
    void clear();

    // Takes the variant's table length and serves the units it lists.
    void setTable(const Variant& variant, const uint8_t* table);
    const std::vector<uint8_t>& table() const { return m_table; }
    const RamLunTable& units() const { return m_units; }

    // Takes a piece as the controller's loader does: refused (false) in a
    // mode other than 0 and 1, and when its last little-endian word is not
    // the XOR of the others (6605 pieces carry no seal).
    [[nodiscard]] bool addCode(const Variant& variant, uint8_t mode, const uint8_t* code, int length);
    const std::vector<CodePiece>& code() const { return m_code; }
    // The mode of the firmware the last piece taken belongs to; kNoFirmware
    // while no image is downloaded (the controller runs what it booted with).
    int firmwareMode() const { return m_code.empty() ? kNoFirmware : m_code.back().mode; }
    // Each mode the firmware entered since the device was plugged in, in
    // order (a new image in the mode it already ran in adds nothing).
    const std::vector<int>& firmwareModes() const { return m_modes; }

private:
    std::vector<uint8_t> m_table;
    RamLunTable m_units;
    std::vector<CodePiece> m_code;
    std::vector<int> m_modes;
};

}  // namespace Tessor::taval
