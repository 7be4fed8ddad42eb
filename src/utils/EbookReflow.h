// E-book texts (GBK, single- and double-byte characters mixed) cut into the
// photo frame's display lines of at most 20 bytes. A line keeps a CR LF of
// its own; otherwise it ends with the marker byte 0x7F. A double-byte
// character is never split, and an English word shorter than a line moves
// whole to the next one.
#pragma once

#include <cstdint>
#include <vector>

namespace Tessor::utils {

constexpr int EBOOK_LINE_BYTES = 20;
constexpr unsigned char EBOOK_LINE_MARKER = 0x7F;

// Appends the reflowed text to `output`, which grows as needed: every marker
// follows at least two bytes of the text, so the output stays below
// length + length / 2 + 2 bytes.
void reflowEbookText(const unsigned char* source, int32_t length, std::vector<unsigned char>* output);

}  // namespace Tessor::utils
