#include "schema/base/Assert.h"

#include <unistd.h>

#include <cstdio>

#include "schema/base/Log.h"

namespace Tessor::schema {

void assertFailed(int line, const char* function, const char* file)
{
    cpLogForced(LOG_ERR, file, line, "Assert false at %d line of %s() at %s", line, function, file);
    std::fflush(nullptr);
    // 1 is the login function's own exit status, so a failed check ends with 2.
    _exit(2);
}

}  // namespace Tessor::schema
