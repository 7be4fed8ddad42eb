// The system's default language, split as a Windows language identifier.
#pragma once

#include <cstdint>

namespace Tessor::schema {

class SystemLang {
public:
    uint8_t primaryLanguage = 0;
    uint8_t subLanguage = 0;
};

}  // namespace Tessor::schema
