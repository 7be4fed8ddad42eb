// A failed internal check is a programming error: it is logged whatever the
// level and the process ends at once with a non-zero status. _exit keeps the
// exit-time shutdown from running on a manager thread that it would wait for.
#pragma once

namespace Tessor::schema {
[[noreturn]] void assertFailed(int line, const char* function, const char* file);
}

#define TESSOR_ASSERT(condition)                                                   \
    do {                                                                           \
        if (!(condition)) {                                                        \
            ::Tessor::schema::assertFailed(__LINE__, __func__, __FILE__);          \
        }                                                                          \
    } while (0)
