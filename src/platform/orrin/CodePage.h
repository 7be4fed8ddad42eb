// The code page of every narrow text of the system (file names, device
// strings, e-book titles): GBK, code page 936. Conversions go through the
// C library's iconv.
#pragma once

#include <string>

namespace Tessor {

class CodePage {
public:
    // True when `byte` starts a double-byte character.
    static bool isLeadByte(unsigned char byte);
    // GBK text to UTF-8 and back; a byte sequence that does not convert is
    // kept as it stands.
    static std::string toUtf8(const std::string& narrow);
    static std::string fromUtf8(const std::string& utf8);
    // The same, false when any part of the text does not convert.
    static bool toUtf8(const std::string& narrow, std::string* utf8);
    static bool fromUtf8(const std::string& utf8, std::string* narrow);
};

}  // namespace Tessor
