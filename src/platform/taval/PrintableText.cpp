#include "platform/taval/PrintableText.h"

#include <cstdio>

namespace Tessor::taval {

std::string printableText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b >= 0x7F || b == '\\') {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace Tessor::taval
