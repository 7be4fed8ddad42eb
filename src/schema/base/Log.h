// Process-wide logger: one line per call, rotated by size, standard error
// as the fallback when the file cannot be used. Lines reach the file within
// half a second, errors at once, and all of them when the process exits.
#pragma once

#include <cstddef>
#include <string>

namespace Tessor::schema {

enum LogLevel {
    LOG_EMRG = 0,
    LOG_ALRT = 1,
    LOG_CRIT = 2,
    LOG_ERR = 3,
    LOG_WARN = 4,
    LOG_NOTC = 5,
    LOG_INFO = 6,
    LOG_DBUG = 7,
    LOG_DSTK = 8,
    LOG_DOP = 9,
    LOG_DHB = 10,
};

int getLogLevel();
void setLogLevel(int level);
void setLogLabel(const std::string& label);
void setDefaultLogLabel(const std::string& label);
std::string getLogLabel();

void cpLog(int priority, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
void cpLogNoLocation(int priority, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Writes one line whatever the level (assertions and fatal start-up errors).
void cpLogForced(int priority, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// Writes every line logged so far into the file.
void flushLog();
// Opens (truncates) the log file; 1 on success, 0 after falling back to stderr.
[[nodiscard]] int openLogFile(const char* name);
// Size limit in bytes at which the file rotates.
void setLogSizeLimit(long long bytes);
long long getLogSizeLimit();
// Current log file name, empty while logging to standard error.
std::string getLogFileName();

}  // namespace Tessor::schema

// Exported for the window code.
void logLogImpl(int priority, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
int logGetLogPriority();

// Every log call tests the level first so its arguments are only built when
// the line is written.
#define CPLOG(priority, ...)                                                              \
    do {                                                                                  \
        if ((priority) <= ::Tessor::schema::getLogLevel()) {                              \
            ::Tessor::schema::cpLog((priority), __FILE__, __LINE__, __VA_ARGS__);         \
        }                                                                                 \
    } while (0)
