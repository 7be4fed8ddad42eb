#include "platform/ini/Ini.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "platform/ini/IniText.h"
#include "platform/ini/RegularFile.h"
#include "platform/orrin/HostPath.h"

namespace Tessor::IO {

namespace {

// Writers of one process take turns, so no change of one is lost to another.
std::mutex& writeLock()
{
    static std::mutex lock;
    return lock;
}

thread_local std::string lastError;

// A file as it was when it was parsed: any write or replacement changes one
// of these.
struct FileStamp {
    dev_t device;
    ino_t inode;
    off_t size;
    struct timespec modified;
    struct timespec changed;

    explicit FileStamp(const struct stat& st)
        : device(st.st_dev), inode(st.st_ino), size(st.st_size), modified(st.st_mtim), changed(st.st_ctim)
    {
    }
    bool operator==(const FileStamp& other) const
    {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

struct CachedText {
    FileStamp stamp;
    std::shared_ptr<const IniText> text;
    // The bytes parsed: a later read of the same bytes needs no parse.
    std::shared_ptr<const std::string> bytes;
    // Read long enough after its change that any later change moves the stamp.
    bool settled;
};

// A file changed within this time of being read may change again without
// its time stamp moving on a coarse clock, so it is only trusted once it
// was read later than that.
const long long SETTLED_NS = 1000000000LL;

long long nanoseconds(const struct timespec& t)
{
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// Parsed files by path. A settled file is read again only when its stamp
// changed; any other is read on every call, and parsed only when its bytes
// differ from the last parse. One thread parses a changed file while the
// others reading it wait for that parse.
class TextCache {
public:
    std::shared_ptr<const IniText> get(const std::string& path)
    {
        struct stat st = {};
        if (::stat(path.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                forget(path);
                return emptyText();
            }
            setIniError((path + ": " + strerror(errno)).c_str());
            return nullptr;
        }
        std::optional<CachedText> cached = find(path);
        if (cached && cached->settled && cached->stamp == FileStamp(st)) {
            return cached->text;
        }
        auto bytes = std::make_shared<std::string>();
        bool exists = false;
        struct timespec readAt = {};
        clock_gettime(CLOCK_REALTIME, &readAt);
        if (!IniText::readBytes(path, exists, *bytes, &st)) {
            return nullptr;
        }
        if (!exists) {
            return emptyText();
        }
        const bool settled = nanoseconds(readAt) - nanoseconds(st.st_mtim) >= SETTLED_NS;
        const CachedText read{FileStamp(st), nullptr, bytes, settled};
        if (cached && sameBytes(*cached, read)) {
            return keep(path, cached->text, read);
        }
        std::lock_guard<std::mutex> parsing(*parseLockOf(path));
        cached = find(path);
        if (cached && sameBytes(*cached, read)) {
            return keep(path, cached->text, read);
        }
        auto text = std::make_shared<IniText>();
        text->parse(*bytes);
        return keep(path, text, read);
    }

    void forget(const std::string& path)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_texts.erase(path);
    }

private:
    static std::shared_ptr<const IniText> emptyText()
    {
        static const auto empty = std::make_shared<const IniText>();
        return empty;
    }

    static bool sameBytes(const CachedText& cached, const CachedText& read)
    {
        return cached.stamp == read.stamp && *cached.bytes == *read.bytes;
    }

    std::optional<CachedText> find(const std::string& path)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_texts.find(path);
        return found != m_texts.end() ? std::optional<CachedText>(found->second) : std::nullopt;
    }

    // Records `text` as the parse of the bytes just read. The parse it
    // replaces is freed after the lock is let go, not while readers wait.
    std::shared_ptr<const IniText> keep(const std::string& path, std::shared_ptr<const IniText> text,
                                        const CachedText& read)
    {
        std::optional<CachedText> replaced;
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_texts.find(path);
        if (found == m_texts.end()) {
            m_texts.emplace(path, CachedText{read.stamp, text, read.bytes, read.settled});
        } else {
            replaced = std::move(found->second);
            found->second = CachedText{read.stamp, text, read.bytes, read.settled};
        }
        return text;
    }

    std::shared_ptr<std::mutex> parseLockOf(const std::string& path)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        std::shared_ptr<std::mutex>& lock = m_parseLocks[path];
        if (!lock) {
            lock = std::make_shared<std::mutex>();
        }
        return lock;
    }

    std::mutex m_lock;
    std::unordered_map<std::string, CachedText> m_texts;
    std::unordered_map<std::string, std::shared_ptr<std::mutex>> m_parseLocks;
};

TextCache& textCache()
{
    static TextCache cache;
    return cache;
}

}  // namespace

void setIniError(const char* text)
{
    lastError = text;
}

const char* iniLastErrorText()
{
    return lastError.c_str();
}

namespace {

// The parsed file, shared with every other reader; null when the file
// cannot be read.
std::shared_ptr<const IniText> loadText(const char* fileName)
{
    if (!fileName) {
        setIniError("no file name");
        return nullptr;
    }
    return textCache().get(HostPath::toHost(fileName));
}

bool findValue(const char* section, const char* key, const char* fileName, std::string& value)
{
    if (!section || !key) {
        return false;
    }
    std::shared_ptr<const IniText> text = loadText(fileName);
    return text && text->find(section, key, value);
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
    std::string value;
    if (!Tessor::IO::findValue(section, key, fileName, value)) {
        return static_cast<unsigned>(defaultValue);
    }
    int number = 0;
    (void)StrToIntExA(value.c_str(), 1, &number);  // text without digits reads as 0
    return static_cast<unsigned>(number);
}

unsigned GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                  char* buffer, unsigned size, const char* fileName)
{
    if (!buffer || size == 0) {
        return 0;
    }
    std::string value;
    if (!Tessor::IO::findValue(section, key, fileName, value)) {
        value = defaultValue ? defaultValue : "";
    }
    size_t count = std::min<size_t>(value.size(), size - 1);
    memcpy(buffer, value.data(), count);
    buffer[count] = '\0';
    return static_cast<unsigned>(count);
}

int WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* fileName)
{
    if (!section && !key && !value && fileName) {
        const std::string path = Tessor::HostPath::toHost(fileName);
        std::lock_guard<std::mutex> guard(Tessor::IO::writeLock());
        std::string reason;
        if (!Tessor::IO::syncFile(path, reason)) {
            Tessor::IO::setIniError((path + ": " + reason).c_str());
            return 0;
        }
        return 1;
    }
    if (!section) {
        Tessor::IO::setIniError("no section name");
        return 0;
    }
    if (!fileName) {
        Tessor::IO::setIniError("no file name");
        return 0;
    }
    const std::string path = Tessor::HostPath::toHost(fileName);
    std::lock_guard<std::mutex> guard(Tessor::IO::writeLock());
    // The edit starts from the file as it is now, whatever was cached.
    IniText text;
    bool exists = false;
    if (!text.load(path, exists)) {
        return 0;
    }
    if (!key) {
        text.removeSection(section);
    } else if (!value) {
        text.removeKey(section, key);
    } else {
        text.setValue(section, key, value);
    }
    const bool saved = text.save(path);
    Tessor::IO::textCache().forget(path);
    return saved ? 1 : 0;
}

unsigned GetPrivateProfileSectionNamesA(char* buffer, unsigned size, const char* fileName)
{
    if (!buffer || size == 0) {
        return 0;
    }
    std::string list;
    std::shared_ptr<const IniText> text = Tessor::IO::loadText(fileName);
    if (text) {
        for (const std::string& name : text->sectionNames()) {
            list += name;
            list += '\0';
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
