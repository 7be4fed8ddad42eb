#include "platform/ini/IniText.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/ini/RegularFile.h"

namespace Tessor::IO {

namespace {

const char* const BLANKS = " \t\r";

std::string_view trim(std::string_view text)
{
    const size_t begin = text.find_first_not_of(BLANKS);
    if (begin == std::string_view::npos) {
        return std::string_view();
    }
    return text.substr(begin, text.find_last_not_of(BLANKS) - begin + 1);
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool isHeader(std::string_view line)
{
    const std::string_view text = trim(line);
    return !text.empty() && text[0] == '[';
}

// The key and value of a key line, as parts of the line.
bool splitKeyLine(std::string_view line, std::string_view& key, std::string_view& value)
{
    const std::string_view text = trim(line);
    if (text.empty() || text[0] == ';' || text[0] == '[') {
        return false;
    }
    const size_t equal = text.find('=');
    if (equal == std::string_view::npos) {
        return false;
    }
    key = trim(text.substr(0, equal));
    value = trim(text.substr(equal + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return true;
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool readAll(int fd, std::string& text)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace

bool IniText::load(const std::string& path, bool& exists, struct stat* status)
{
    m_lines.clear();
    m_bom = false;
    m_lineEnd = "\n";
    reindex();
    std::string text;
    if (!readBytes(path, exists, text, status)) {
        return false;
    }
    if (exists) {
        parse(text);
    }
    return true;
}

bool IniText::readBytes(const std::string& path, bool& exists, std::string& bytes, struct stat* status)
{
    bytes.clear();
    std::string reason;
    bool missing = false;
    const int fd = openRegularFile(path, reason, &missing);
    exists = fd >= 0;
    if (!exists) {
        if (missing) {
            return true;
        }
        setIniError((path + ": " + reason).c_str());
        return false;
    }
    const bool read = (!status || fstat(fd, status) == 0) && readAll(fd, bytes);
    if (!read) {
        setIniError(strerror(errno));
    }
    ::close(fd);
    return read;
}

void IniText::parse(const std::string& text)
{
    m_lines.clear();
    m_lineEnd = "\n";
    m_bom = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (text.find("\r\n") != std::string::npos) {
        m_lineEnd = "\r\n";
    }
    size_t start = m_bom ? 3 : 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        size_t length = end - start;
        if (length > 0 && text[end - 1] == '\r') {
            --length;
        }
        m_lines.emplace_back(text, start, length);
        start = end + 1;
    }
    reindex();
}

void IniText::reindex()
{
    m_sections.clear();
    m_names.clear();
    std::string name;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (sectionHeader(m_lines[i], name)) {
            if (!name.empty()) {
                m_names.push_back(name);
            }
            // Only the first section of a name is ever read.
            m_sections.try_emplace(lowerCase(name), i);
        }
    }
}

bool IniText::save(const std::string& path) const
{
    // The file behind a link is replaced, not the link.
    std::string target = path;
    struct stat old = {};
    bool exists = lstat(path.c_str(), &old) == 0;
    if (exists && S_ISLNK(old.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) == nullptr) {
            setIniError((path + ": " + strerror(errno)).c_str());
            return false;
        }
        target = resolved;
        exists = stat(target.c_str(), &old) == 0;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        setIniError((path + ": is not a regular file").c_str());
        return false;
    }
    std::string text = m_bom ? "\xEF\xBB\xBF" : "";
    for (const std::string& line : m_lines) {
        text += line;
        text += m_lineEnd;
    }
    std::string reason;
    if (!replaceFile(target, text.data(), text.size(), exists ? &old : nullptr, reason)) {
        setIniError(reason.c_str());
        return false;
    }
    return true;
}

bool IniText::sectionHeader(const std::string& line, std::string& name)
{
    const std::string_view text = trim(line);
    if (text.empty() || text[0] != '[') {
        return false;
    }
    const size_t close = text.find(']');
    name = trim(text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return true;
}

bool IniText::keyLine(const std::string& line, Entry& entry)
{
    std::string_view key;
    std::string_view value;
    if (!splitKeyLine(line, key, value)) {
        return false;
    }
    entry.key = key;
    entry.value = value;
    return true;
}

int IniText::findSection(const std::string& section) const
{
    std::string name;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (sectionHeader(m_lines[i], name) && sameName(name, section)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

size_t IniText::sectionEnd(size_t header) const
{
    size_t i = header + 1;
    while (i < m_lines.size() && !isHeader(m_lines[i])) {
        ++i;
    }
    return i;
}

bool IniText::find(const std::string& section, const std::string& key, std::string& value) const
{
    const auto found = m_sections.find(lowerCase(section));
    if (found == m_sections.end()) {
        return false;
    }
    std::string_view name;
    std::string_view text;
    for (size_t i = found->second + 1; i < m_lines.size() && !isHeader(m_lines[i]); ++i) {
        if (splitKeyLine(m_lines[i], name, text) && sameName(name, key)) {
            value = text;
            return true;
        }
    }
    return false;
}

void IniText::setValue(const std::string& section, const std::string& key, const std::string& value)
{
    std::string line = key + "=" + value;
    int header = findSection(section);
    if (header < 0) {
        if (!m_lines.empty() && !trim(m_lines.back()).empty()) {
            m_lines.push_back(std::string());
        }
        m_lines.push_back("[" + section + "]");
        m_lines.push_back(line);
        reindex();
        return;
    }
    size_t end = sectionEnd(header);
    Entry entry;
    for (size_t i = header + 1; i < end; ++i) {
        if (keyLine(m_lines[i], entry) && sameName(entry.key, key)) {
            m_lines[i] = line;
            reindex();
            return;
        }
    }
    // New keys go after the section's last non-blank line, before the gap
    // that separates it from the next section.
    size_t at = end;
    while (at > static_cast<size_t>(header) + 1 && trim(m_lines[at - 1]).empty()) {
        --at;
    }
    m_lines.insert(m_lines.begin() + static_cast<long>(at), line);
    reindex();
}

void IniText::removeKey(const std::string& section, const std::string& key)
{
    int header = findSection(section);
    if (header < 0) {
        return;
    }
    Entry entry;
    for (size_t i = header + 1; i < sectionEnd(header);) {
        if (keyLine(m_lines[i], entry) && sameName(entry.key, key)) {
            m_lines.erase(m_lines.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    reindex();
}

void IniText::removeSection(const std::string& section)
{
    for (int header = findSection(section); header >= 0; header = findSection(section)) {
        m_lines.erase(m_lines.begin() + header, m_lines.begin() + static_cast<long>(sectionEnd(header)));
    }
    reindex();
}

}  // namespace Tessor::IO
