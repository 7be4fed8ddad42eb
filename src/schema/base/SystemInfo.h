// Clocks, language, page size, working directory, process-wide counters and
// the debug text through which data objects and buffer dumps reach the log.
#pragma once

#include <cstdint>

#include "schema/base/FileTime.h"
#include "schema/base/Sptr.h"
#include "schema/base/SystemClock.h"
#include "schema/base/SystemLang.h"

namespace Tessor::schema {

class SystemInfo {
public:
    static constexpr int kDebugBufferSize = 16384;

    // Null: the local time now. Otherwise the given local file time, as UTC.
    static Sptr<SystemClock> getSystemClock(const FILETIME* localFileTime);
    // The local time now with the next serial counter (1 .. 9998, then 0) in
    // place of the milliseconds.
    static Sptr<SystemClock> getSystemClock4SN();
    // Milliseconds since the system started.
    static uint32_t getSystemTick();
    static Sptr<SystemLang> getSystemLanguage();
    static uint32_t getSystemPageSize();
    // An empty clock stands for the UTC time now; the record is taken as UTC
    // and written out as a local file time. Always 0.
    static uint32_t getFileTime(FILETIME* localFileTime, const Sptr<SystemClock>& utcClock);
    // "." when the directory cannot be read. The text is overwritten by the
    // next call.
    static const char* getCurrentWorkingDirectory();
    [[nodiscard]] static bool setCurrentWorkingDirectory(const char* path);

    // Appends to the debug text.
    static void debug(const char* format, ...) __attribute__((format(printf, 1, 2)));
    // Appends, then logs the whole text and empties it.
    static void debugInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
    // Logs `text` and the debug text, and empties it.
    static void debugOut(const char* text);
    // Hex dump of at most 16384 bytes through the debug text, then logged.
    static void debugBuffer(const void* buffer, int length, const char* title);

    // Hands out the startup id and counts it up.
    static void getGlobalUniqueID(int* id);

    static int uniqueId;
    static int snId;
};

}  // namespace Tessor::schema
