#include "schema/base/SystemInfo.h"

#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "schema/base/Log.h"
#include "schema/base/Mutex.h"

namespace Tessor::schema {

int SystemInfo::uniqueId = 0;
int SystemInfo::snId = 0;

namespace {

constexpr int kFlushAbove = SystemInfo::kDebugBufferSize - 16;
constexpr int kMaxDumpHeader = 10240;
constexpr int kDirectorySize = 260;
constexpr int kSerialWrap = 9999;
constexpr long long kSecondsFrom1601To1970 = 11644473600LL;
constexpr long long kTicksPerSecond = 10000000LL;  // 100 ns

// One lock for the debug text: rows of two dumps never mix and the write
// position never runs past the end.
struct DebugText {
    Threads::Mutex lock;
    char buffer[SystemInfo::kDebugBufferSize] = {};
    int bufIndex = 0;
};

DebugText& debugText()
{
    static DebugText* text = new DebugText();  // data objects may print during exit
    return *text;
}

Threads::Mutex& idLock()
{
    static Threads::Mutex* lock = new Threads::Mutex();
    return *lock;
}

Threads::Mutex& serialLock()
{
    static Threads::Mutex* lock = new Threads::Mutex();
    return *lock;
}

char g_directory[kDirectorySize];

// A nearly full text goes to the log before more is added.
void flushBeforeAppend(DebugText& text, bool bufferOnly)
{
    if (text.bufIndex > kFlushAbove) {
        if (!bufferOnly) {
            CPLOG(7, "\n%s\n%s\n", "", text.buffer);
        } else {
            CPLOG(7, "\n%s\n", text.buffer);
        }
        text.bufIndex = 0;
        text.buffer[0] = '\0';
    }
}

// Appends with the lock held; text that does not fit is cut, and the buffer
// stays terminated within its size.
void appendLocked(DebugText& text, const char* format, va_list args)
{
    const int room = SystemInfo::kDebugBufferSize - text.bufIndex;
    const int wanted = std::vsnprintf(text.buffer + text.bufIndex, static_cast<std::size_t>(room), format, args);
    if (wanted < 0) {
        text.buffer[text.bufIndex] = '\0';
        return;
    }
    if (wanted >= room) {
        CPLOG(4, "System Info Buffer is out of range : %d", text.bufIndex + wanted);
        text.bufIndex = SystemInfo::kDebugBufferSize - 1;
        return;
    }
    text.bufIndex += wanted;
}

void appendLocked(DebugText& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void appendLocked(DebugText& text, const char* format, ...)
{
    flushBeforeAppend(text, false);
    va_list args;
    va_start(args, format);
    appendLocked(text, format, args);
    va_end(args);
}

void resetLocked(DebugText& text)
{
    text.bufIndex = 0;
    text.buffer[0] = '\0';
}

Sptr<SystemClock> clockOf(const std::tm& tm, int milliseconds)
{
    Sptr<SystemClock> clock(new SystemClock());
    clock->year = static_cast<uint16_t>(tm.tm_year + 1900);
    clock->month = static_cast<uint16_t>(tm.tm_mon + 1);
    clock->dayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    clock->day = static_cast<uint16_t>(tm.tm_mday);
    clock->hour = static_cast<uint16_t>(tm.tm_hour);
    clock->minute = static_cast<uint16_t>(tm.tm_min);
    clock->second = static_cast<uint16_t>(tm.tm_sec);
    clock->milliseconds = static_cast<uint16_t>(milliseconds);
    return clock;
}

// The wall-clock time of the zone the process runs in. The zone is read
// once, before the first conversion of any thread: the C library's own
// reading of it (at its first use, and in every mktime) changes state the
// threads share, which a thread sanitizer sees racing with their reads.
std::tm localOf(time_t seconds)
{
    static const bool zoneRead = (tzset(), true);
    (void)zoneRead;
    std::tm tm{};
    localtime_r(&seconds, &tm);
    return tm;
}

Sptr<SystemClock> localNow()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return clockOf(localOf(now.tv_sec), static_cast<int>(now.tv_nsec / 1000000));
}

long long ticksOf(const FILETIME& fileTime)
{
    return static_cast<long long>((static_cast<uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime);
}

void setTicks(FILETIME* fileTime, long long ticks)
{
    const auto value = static_cast<uint64_t>(ticks);
    fileTime->dwLowDateTime = static_cast<uint32_t>(value & 0xFFFFFFFFu);
    fileTime->dwHighDateTime = static_cast<uint32_t>(value >> 32);
}

// The Windows language identifier of the locale the process runs under.
unsigned languageId()
{
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') {
            continue;
        }
        if (std::strncmp(value, "zh_CN", 5) == 0 || std::strncmp(value, "zh_SG", 5) == 0) {
            return 0x0804;
        }
        if (std::strncmp(value, "zh", 2) == 0) {
            return 0x0404;
        }
        break;
    }
    return 0x0409;
}

}  // namespace

Sptr<SystemClock> SystemInfo::getSystemClock(const FILETIME* localFileTime)
{
    if (localFileTime == nullptr) {
        return localNow();
    }
    const long long ticks = ticksOf(*localFileTime);
    const time_t localSeconds = static_cast<time_t>(ticks / kTicksPerSecond - kSecondsFrom1601To1970);
    const int milliseconds = static_cast<int>(ticks % kTicksPerSecond / 10000);
    // The zone's offset is the one in force at the instant the local time
    // names: taken where the local time would be in UTC, then again at the
    // instant that first offset gives.
    time_t utcSeconds = localSeconds - localOf(localSeconds).tm_gmtoff;
    utcSeconds = localSeconds - localOf(utcSeconds).tm_gmtoff;
    std::tm tm{};
    gmtime_r(&utcSeconds, &tm);
    return clockOf(tm, milliseconds);
}

Sptr<SystemClock> SystemInfo::getSystemClock4SN()
{
    int serial = 0;
    {
        Threads::Lock guard(serialLock());
        ++snId;
        if (snId >= kSerialWrap) {
            snId = 0;
        }
        serial = snId;
    }
    Sptr<SystemClock> clock = localNow();
    clock->milliseconds = static_cast<uint16_t>(serial);
    return clock;
}

uint32_t SystemInfo::getSystemTick()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

Sptr<SystemLang> SystemInfo::getSystemLanguage()
{
    const unsigned id = languageId();
    Sptr<SystemLang> lang(new SystemLang());
    lang->primaryLanguage = static_cast<uint8_t>(id & 0xFF);
    lang->subLanguage = static_cast<uint8_t>((id >> 10) & 0x3F);
    return lang;
}

uint32_t SystemInfo::getSystemPageSize()
{
    return static_cast<uint32_t>(sysconf(_SC_PAGESIZE));
}

uint32_t SystemInfo::getFileTime(FILETIME* localFileTime, const Sptr<SystemClock>& utcClock)
{
    time_t utcSeconds = 0;
    long long subSecondTicks = 0;
    if (!utcClock) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        utcSeconds = now.tv_sec;
        subSecondTicks = now.tv_nsec / 100;
    } else {
        std::tm tm{};
        tm.tm_year = utcClock->year - 1900;
        tm.tm_mon = utcClock->month - 1;
        tm.tm_mday = utcClock->day;
        tm.tm_hour = utcClock->hour;
        tm.tm_min = utcClock->minute;
        tm.tm_sec = utcClock->second;
        utcSeconds = timegm(&tm);
        subSecondTicks = static_cast<long long>(utcClock->milliseconds) * 10000;
    }
    const long long localSeconds = static_cast<long long>(utcSeconds) + localOf(utcSeconds).tm_gmtoff;
    setTicks(localFileTime, (localSeconds + kSecondsFrom1601To1970) * kTicksPerSecond + subSecondTicks);
    return 0;
}

const char* SystemInfo::getCurrentWorkingDirectory()
{
    if (getcwd(g_directory, sizeof g_directory) != nullptr) {
        return g_directory;
    }
    if (errno == ERANGE) {
        char* whole = getcwd(nullptr, 0);
        const int needed = whole != nullptr ? static_cast<int>(std::strlen(whole)) + 1 : kDirectorySize + 1;
        std::free(whole);
        CPLOG(3, "GetCurrentDirectory failed (buffer too small; need %d chars)\n", needed);
    } else {
        CPLOG(3, "GetCurrentDirectory failed : %s\n", std::strerror(errno));
    }
    return ".";
}

bool SystemInfo::setCurrentWorkingDirectory(const char* path)
{
    if (chdir(path) != 0) {
        CPLOG(3, "SetCurrentDirectory as %s failed : %s", path, std::strerror(errno));
        return false;
    }
    return true;
}

void SystemInfo::debug(const char* format, ...)
{
    DebugText& text = debugText();
    Threads::Lock guard(text.lock);
    flushBeforeAppend(text, false);
    va_list args;
    va_start(args, format);
    appendLocked(text, format, args);
    va_end(args);
}

void SystemInfo::debugInfo(const char* format, ...)
{
    DebugText& text = debugText();
    Threads::Lock guard(text.lock);
    flushBeforeAppend(text, true);
    va_list args;
    va_start(args, format);
    appendLocked(text, format, args);
    va_end(args);
    CPLOG(7, "%s", text.buffer);
    resetLocked(text);
}

void SystemInfo::debugOut(const char* message)
{
    DebugText& text = debugText();
    Threads::Lock guard(text.lock);
    CPLOG(7, "\n%s\n%s\n", message, text.buffer);
    resetLocked(text);
}

void SystemInfo::debugBuffer(const void* buffer, int length, const char* title)
{
    const int n = length < 0 ? 0 : (length > kDebugBufferSize ? kDebugBufferSize : length);
    char header[kMaxDumpHeader];
    std::snprintf(header, sizeof header, "Dumping information about '%s':\n\tbuffer is %p with length %d", title,
                  buffer, n);
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    DebugText& text = debugText();
    Threads::Lock guard(text.lock);
    // The header goes in first: a long dump logs part of its rows before it
    // ends.
    appendLocked(text, "\n%s\n", header);
    for (int offset = 0; offset < n; offset += 16) {
        // A short last row shows only the bytes that are there.
        char row[128];
        int used = std::snprintf(row, sizeof row, "0x%02x \t:", offset);
        const int end = offset + 16 < n ? offset + 16 : n;
        for (int i = offset; i < end; ++i) {
            used += std::snprintf(row + used, sizeof row - static_cast<std::size_t>(used), " %02x", bytes[i]);
        }
        appendLocked(text, "%s\n", row);
        if (offset != 0 && offset % 512 == 0) {
            appendLocked(text, "\n");
        }
    }
    CPLOG(7, "%s\n", text.buffer);
    resetLocked(text);
}

void SystemInfo::getGlobalUniqueID(int* id)
{
    Threads::Lock guard(idLock());
    *id = uniqueId;
    ++uniqueId;
}

}  // namespace Tessor::schema
