// Windows file time: 100-nanosecond intervals since 1601-01-01, split in two
// 32-bit halves as the build information stores it.
#pragma once

#include <cstdint>

struct FILETIME {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
};
