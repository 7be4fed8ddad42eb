#include "schema/base/Log.h"

#include <pthread.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/ini/RegularFile.h"
#include "platform/orrin/PlatformLog.h"
#include "schema/base/Mutex.h"

namespace Tessor::schema {

namespace {

const char* const kLevelNames[] = {"EMRG", "ALRT", "CRIT", "ERR ", "WARN", "NOTC",
                                   "INFO", "DBUG", "DSTK", "DOP ", "DHB "};
constexpr long long kDefaultSizeLimit = 6291456;
// Lines wait at most this long before they reach the file.
constexpr auto kFlushPeriod = std::chrono::milliseconds(500);
constexpr std::size_t kPendingLimit = 64 * 1024;

struct LoggerState {
    Threads::Mutex stateLock;
    // Read on every log call of every thread: no lock on that path.
    std::atomic<int> level{LOG_ERR};
    std::string defaultLabel;

    Threads::Mutex writeLock;
    FILE* stream = nullptr;  // null: standard error
    std::string fileName;
    long long sizeLimit = kDefaultSizeLimit;
    // Lines not yet handed to the file, and the size the file has with them.
    std::string pending;
    long long fileBytes = 0;
    // Set once the process is ending: from then on each line is written at once.
    bool unbuffered = false;
};

// A thread's own label dies with the thread, so a later thread that gets the
// same id does not log under a stale name.
thread_local bool t_hasLabel = false;
thread_local std::string t_label;

LoggerState& state()
{
    static LoggerState* s = new LoggerState();  // never destroyed: threads may log during exit
    return *s;
}

const char* levelName(int priority)
{
    if (priority < 0) {
        priority = 0;
    }
    if (priority > LOG_DHB) {
        priority = LOG_DHB;
    }
    return kLevelNames[priority];
}

// Called with the write lock held.
void criticalFallback(LoggerState& s, const char* format, ...) __attribute__((format(printf, 2, 3)));
void criticalFallback(LoggerState& s, const char* format, ...)
{
    if (s.stream != nullptr) {
        std::fclose(s.stream);
    }
    s.stream = nullptr;
    s.fileName.clear();
    std::fputs("\nCRITICAL LOGGING ERROR:\n", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputs("\ncpLog has reverted to logging to standard error...\n\n", stderr);
    std::fflush(stderr);
}

// Called with the write lock held. A FIFO or a folder is refused like an
// unwritable file: the log must never wait on a reader.
bool openStream(LoggerState& s)
{
    std::string reason;
    s.stream = Tessor::IO::createWritableFile(s.fileName, reason);
    if (s.stream == nullptr) {
        std::string name = s.fileName;
        criticalFallback(s, "cpLog: Cannot open log file %s:  %s", name.c_str(), reason.c_str());
        return false;
    }
    return true;
}

// Called with the write lock held. The waiting lines go to the file; when it
// does not take them, they and all later lines go to standard error.
void flushPending(LoggerState& s)
{
    if (s.pending.empty()) {
        return;
    }
    if (s.stream != nullptr && (std::fwrite(s.pending.data(), 1, s.pending.size(), s.stream) != s.pending.size() ||
                                std::fflush(s.stream) != 0)) {
        std::string name = s.fileName;
        criticalFallback(s, "cpLog could not write its log file %s:  %s", name.c_str(), std::strerror(errno));
    }
    if (s.stream == nullptr) {
        std::fputs(s.pending.c_str(), stderr);
        std::fflush(stderr);
    }
    s.pending.clear();
}

// Called with the write lock held.
void rotate(LoggerState& s)
{
    flushPending(s);
    if (s.stream == nullptr) {
        return;
    }
    s.fileBytes = 0;
    if (std::fclose(s.stream) != 0) {
        std::fprintf(stderr, "Could not close the log file:  %s\n", std::strerror(errno));
    }
    s.stream = nullptr;
    for (int i = 5; i >= 0; --i) {
        std::string oldName = i == 0 ? s.fileName : s.fileName + "." + std::to_string(i);
        std::string newName = s.fileName + "." + std::to_string(i + 1);
        struct stat old {};
        if (::stat(oldName.c_str(), &old) != 0) {
            if (errno == ENOENT) {
                continue;
            }
            criticalFallback(s, "cpLog could not stat %s:  %s", oldName.c_str(), std::strerror(errno));
            return;
        }
        if (std::rename(oldName.c_str(), newName.c_str()) != 0) {
            criticalFallback(s, "cpLog could not rename %s to %s:  %s", oldName.c_str(), newName.c_str(),
                             std::strerror(errno));
            return;
        }
    }
    openStream(s);
}

std::string labelOfThisThread(LoggerState& s)
{
    if (t_hasLabel) {
        return t_label;
    }
    Threads::Lock guard(s.stateLock);
    return s.defaultLabel;
}

std::string format(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) {
        return std::string();
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string lineOf(const std::string& label, int priority, const char* file, int line, const std::string& message)
{
    return "[" + label + "] " + levelName(priority) + " " + file + ":" + std::to_string(line) + " " + message + "\n";
}

void writeLine(int priority, const char* file, int line, const char* fmt, va_list args)
{
    LoggerState& s = state();
    const std::string text = lineOf(labelOfThisThread(s), priority, file, line, format(fmt, args));
    Threads::Lock guard(s.writeLock);
    s.pending += text;
    s.fileBytes += static_cast<long long>(text.size());
    // An error is on disk before the caller goes on, whatever happens next.
    if (s.stream == nullptr || s.unbuffered || priority <= LOG_ERR || s.pending.size() >= kPendingLimit) {
        flushPending(s);
    }
    if (s.stream != nullptr && s.fileBytes >= s.sizeLimit) {
        rotate(s);
    }
}

void flushPeriodically()
{
    LoggerState& s = state();
    for (;;) {
        std::this_thread::sleep_for(kFlushPeriod);
        Threads::Lock guard(s.writeLock);
        flushPending(s);
    }
}

void flushAtExit()
{
    LoggerState& s = state();
    Threads::Lock guard(s.writeLock);
    flushPending(s);
    s.unbuffered = true;
}

// A forked child starts with no waiting lines, so its exit cannot write the
// parent's a second time.
void lockBeforeFork()
{
    LoggerState& s = state();
    s.writeLock.lock();
    flushPending(s);
}

void unlockAfterFork()
{
    state().writeLock.unlock();
}

void startFlusher()
{
    static std::once_flag once;
    std::call_once(once, [] {
        std::thread(flushPeriodically).detach();
        std::atexit(flushAtExit);
        pthread_atfork(lockBeforeFork, unlockAfterFork, unlockAfterFork);
    });
}

}  // namespace

int getLogLevel()
{
    return state().level.load(std::memory_order_relaxed);
}

void setLogLevel(int level)
{
    state().level.store(level, std::memory_order_relaxed);
}

void setLogLabel(const std::string& label)
{
    t_label = label;
    t_hasLabel = true;
}

void setDefaultLogLabel(const std::string& label)
{
    LoggerState& s = state();
    Threads::Lock guard(s.stateLock);
    s.defaultLabel = label;
}

std::string getLogLabel()
{
    return labelOfThisThread(state());
}

void cpLog(int priority, const char* file, int line, const char* format, ...)
{
    if (priority > getLogLevel()) {
        return;
    }
    va_list args;
    va_start(args, format);
    writeLine(priority, file, line, format, args);
    va_end(args);
}

void cpLogNoLocation(int priority, const char* format, ...)
{
    if (priority < 0 || priority > getLogLevel()) {
        return;
    }
    va_list args;
    va_start(args, format);
    writeLine(priority, "", 0, format, args);
    va_end(args);
}

void cpLogForced(int priority, const char* file, int line, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    writeLine(priority, file, line, format, args);
    va_end(args);
}

void flushLog()
{
    LoggerState& s = state();
    Threads::Lock guard(s.writeLock);
    flushPending(s);
}

int openLogFile(const char* name)
{
    startFlusher();
    LoggerState& s = state();
    Threads::Lock guard(s.writeLock);
    flushPending(s);
    s.fileBytes = 0;
    if (s.stream != nullptr) {
        std::fclose(s.stream);
        s.stream = nullptr;
    }
    s.fileName = std::string(name).substr(0, 255);
    return openStream(s) ? 1 : 0;
}

void setLogSizeLimit(long long bytes)
{
    LoggerState& s = state();
    Threads::Lock guard(s.writeLock);
    s.sizeLimit = bytes;
}

long long getLogSizeLimit()
{
    LoggerState& s = state();
    Threads::Lock guard(s.writeLock);
    return s.sizeLimit;
}

std::string getLogFileName()
{
    LoggerState& s = state();
    Threads::Lock guard(s.writeLock);
    return s.fileName;
}

namespace {

void writePlatformLine(int priority, const char* file, int line, const char* message)
{
    cpLogForced(priority, file, line, "%s", message);
}

// The platform libraries log through this logger from the start.
[[maybe_unused]] const bool g_platformLogInstalled =
    (platform::setLogTarget(&writePlatformLine, &getLogLevel), true);

}  // namespace

}  // namespace Tessor::schema

void logLogImpl(int priority, const char* file, int line, const char* format, ...)
{
    char buffer[1024] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    Tessor::schema::cpLog(priority, file, line, "%s", buffer);
}

int logGetLogPriority()
{
    return Tessor::schema::getLogLevel();
}
