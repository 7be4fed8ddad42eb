#include "platform/ini/Ini.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>

#include "platform/ini/IniText.h"

namespace Tessor::IO {

namespace {

// Device threads, the start-up worker and the window share these files.
std::mutex& iniLock()
{
    static std::mutex lock;
    return lock;
}

thread_local std::string lastError;

}  // namespace

void setIniError(const char* text)
{
    lastError = text;
}

const char* iniLastErrorText()
{
    return lastError.c_str();
}

std::string toHostPath(const char* path)
{
    std::string host = path ? path : "";
    std::replace(host.begin(), host.end(), '\\', '/');
    return host;
}

namespace {

// Loads the file under the caller's lock; a missing file is an empty text.
bool loadText(const char* fileName, IniText& text)
{
    if (!fileName) {
        setIniError("no file name");
        return false;
    }
    bool exists = false;
    return text.load(toHostPath(fileName), exists);
}

bool findValue(const char* section, const char* key, const char* fileName, std::string& value)
{
    if (!section || !key) {
        return false;
    }
    IniText text;
    return loadText(fileName, text) && text.find(section, key, value);
}

}  // namespace

}  // namespace Tessor::IO

using Tessor::IO::IniText;

bool StrToIntExA(const char* text, int hexFlag, int* result)
{
    *result = 0;
    if (!text) {
        return false;
    }
    const char* p = text;
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    unsigned base = 10;
    if (hexFlag && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && isxdigit(static_cast<unsigned char>(p[2]))) {
        base = 16;
        p += 2;
    }
    uint32_t value = 0;
    bool digits = false;
    for (;; ++p) {
        int c = static_cast<unsigned char>(*p);
        unsigned digit;
        if (isdigit(c)) {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && isxdigit(c)) {
            digit = static_cast<unsigned>(tolower(c) - 'a' + 10);
        } else {
            break;
        }
        value = value * base + digit;  // wraps modulo 2^32 like the platform
        digits = true;
    }
    if (negative) {
        value = 0u - value;
    }
    *result = static_cast<int>(value);
    return digits;
}

unsigned GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* fileName)
{
    std::lock_guard<std::mutex> guard(Tessor::IO::iniLock());
    std::string value;
    if (!Tessor::IO::findValue(section, key, fileName, value)) {
        return static_cast<unsigned>(defaultValue);
    }
    int number = 0;
    StrToIntExA(value.c_str(), 1, &number);
    return static_cast<unsigned>(number);
}

unsigned GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                  char* buffer, unsigned size, const char* fileName)
{
    if (!buffer || size == 0) {
        return 0;
    }
    std::string value;
    {
        std::lock_guard<std::mutex> guard(Tessor::IO::iniLock());
        if (!Tessor::IO::findValue(section, key, fileName, value)) {
            value = defaultValue ? defaultValue : "";
        }
    }
    size_t count = std::min<size_t>(value.size(), size - 1);
    memcpy(buffer, value.data(), count);
    buffer[count] = '\0';
    return static_cast<unsigned>(count);
}

int WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* fileName)
{
    if (!section) {
        Tessor::IO::setIniError("no section name");
        return 0;
    }
    std::lock_guard<std::mutex> guard(Tessor::IO::iniLock());
    IniText text;
    if (!Tessor::IO::loadText(fileName, text)) {
        return 0;
    }
    if (!key) {
        text.removeSection(section);
    } else if (!value) {
        text.removeKey(section, key);
    } else {
        text.setValue(section, key, value);
    }
    return text.save(Tessor::IO::toHostPath(fileName)) ? 1 : 0;
}

unsigned GetPrivateProfileSectionNamesA(char* buffer, unsigned size, const char* fileName)
{
    if (!buffer || size == 0) {
        return 0;
    }
    std::string list;
    {
        std::lock_guard<std::mutex> guard(Tessor::IO::iniLock());
        IniText text;
        if (Tessor::IO::loadText(fileName, text)) {
            for (const std::string& name : text.sectionNames()) {
                list += name;
                list += '\0';
            }
        }
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    if (list.size() + 1 <= size) {
        memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        if (list.empty() && size > 1) {
            buffer[1] = '\0';
        }
        return static_cast<unsigned>(list.size());
    }
    memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}
