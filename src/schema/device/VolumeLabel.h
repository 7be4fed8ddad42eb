// A partition's volume label as FAT holds it: the system's narrow text
// (GBK) in 11 bytes, blank-padded, cut before a double-byte character that
// would not fit whole. A label FAT does not allow is refused: one holding a
// character FAT forbids in labels, starting with a blank, or not a text of
// the code page.
#pragma once

#include <cstddef>
#include <string>

namespace Tessor::schema {

class VolumeLabel {
public:
    static constexpr size_t BYTES = 11;
    enum class Fault { NONE, NOT_CODE_PAGE, LEADING_BLANK, CONTROL_CHARACTER, FORBIDDEN_CHARACTER };

    explicit VolumeLabel(const std::string& narrow);

    bool empty() const { return m_text.empty(); }
    // Why FAT cannot hold the label; empty when it can.
    const std::string& refusal() const { return m_refusal; }
    // The same for a window that words it in the operator's language; the
    // character FAT forbids, when that is the fault.
    Fault fault() const { return m_fault; }
    char forbidden() const { return m_forbidden; }
    // The bytes of the boot sector and the root directory's label entry;
    // "NO NAME" padded for an empty label.
    std::string field() const;

private:
    std::string m_text;
    std::string m_refusal;
    Fault m_fault = Fault::NONE;
    char m_forbidden = 0;
};

}  // namespace Tessor::schema
