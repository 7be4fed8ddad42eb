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

    explicit VolumeLabel(const std::string& narrow);

    bool empty() const { return m_text.empty(); }
    // Why FAT cannot hold the label; empty when it can.
    const std::string& refusal() const { return m_refusal; }
    // The bytes of the boot sector and the root directory's label entry;
    // "NO NAME" padded for an empty label.
    std::string field() const;

private:
    std::string m_text;
    std::string m_refusal;
};

}  // namespace Tessor::schema
