#include "platform/orrin/PlatformLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace Tessor::platform {

namespace {

constexpr int kErrorLevel = 3;

void writeToStandardError(int priority, const char* file, int line, const char* message)
{
    std::fprintf(stderr, "[platform] %d %s:%d %s\n", priority, file, line, message);
}

int errorLevel()
{
    return kErrorLevel;
}

std::atomic<LogWriter> g_writer{&writeToStandardError};
std::atomic<LogLevelReader> g_level{&errorLevel};

}  // namespace

void setLogTarget(LogWriter writer, LogLevelReader level)
{
    g_writer.store(writer);
    g_level.store(level);
}

int logLevel()
{
    return g_level.load()();
}

void logLine(int priority, const char* file, int line, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string message(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    std::vsnprintf(message.data(), message.size() + 1, format, args);
    va_end(args);
    g_writer.load()(priority, file, line, message.c_str());
}

}  // namespace Tessor::platform
