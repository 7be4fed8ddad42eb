// The platform libraries' log. The station's logger installs itself as the
// target; until it does, lines of the error level and below go to standard
// error.
#pragma once

namespace Tessor::platform {

using LogWriter = void (*)(int priority, const char* file, int line, const char* message);
using LogLevelReader = int (*)();

void setLogTarget(LogWriter writer, LogLevelReader level);
int logLevel();
// Writes whatever the level: PLATFORM_LOG tests the level first.
void logLine(int priority, const char* file, int line, const char* format, ...) __attribute__((format(printf, 4, 5)));

}  // namespace Tessor::platform

#define PLATFORM_LOG(priority, ...)                                                     \
    do {                                                                                \
        if ((priority) <= ::Tessor::platform::logLevel()) {                             \
            ::Tessor::platform::logLine((priority), __FILE__, __LINE__, __VA_ARGS__);   \
        }                                                                               \
    } while (0)
