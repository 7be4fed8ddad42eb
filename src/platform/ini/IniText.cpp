#include "platform/ini/IniText.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace Tessor::IO {

namespace {

const char* const BLANKS = " \t\r";

std::string trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(BLANKS);
    if (begin == std::string::npos) {
        return std::string();
    }
    size_t end = text.find_last_not_of(BLANKS);
    return text.substr(begin, end - begin + 1);
}

}  // namespace

bool IniText::load(const std::string& path, bool& exists)
{
    m_lines.clear();
    m_bom = false;
    m_lineEnd = "\n";
    std::ifstream in(path, std::ios::binary);
    exists = in.is_open();
    if (!exists) {
        if (errno == ENOENT) {
            return true;
        }
        setIniError(strerror(errno));
        return false;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string text = buffer.str();
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        m_bom = true;
        text.erase(0, 3);
    }
    if (text.find("\r\n") != std::string::npos) {
        m_lineEnd = "\r\n";
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        m_lines.push_back(line);
        start = end + 1;
    }
    return true;
}

bool IniText::save(const std::string& path) const
{
    std::string text = m_bom ? "\xEF\xBB\xBF" : "";
    for (const std::string& line : m_lines) {
        text += line;
        text += m_lineEnd;
    }
    std::string temp = path + ".XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) {
        setIniError(strerror(errno));
        return false;
    }
    size_t written = 0;
    while (written < text.size()) {
        ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n <= 0) {
            setIniError(strerror(errno));
            ::close(fd);
            unlink(name.data());
            return false;
        }
        written += static_cast<size_t>(n);
    }
    // mkstemp makes the file private; an INI file is shared like any other.
    fchmod(fd, 0644);
    if (::close(fd) != 0 || rename(name.data(), path.c_str()) != 0) {
        setIniError(strerror(errno));
        unlink(name.data());
        return false;
    }
    return true;
}

bool IniText::sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

bool IniText::sectionHeader(const std::string& line, std::string& name)
{
    std::string text = trim(line);
    if (text.empty() || text[0] != '[') {
        return false;
    }
    size_t close = text.find(']');
    name = trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

bool IniText::keyLine(const std::string& line, Entry& entry)
{
    std::string text = trim(line);
    if (text.empty() || text[0] == ';' || text[0] == '[') {
        return false;
    }
    size_t equal = text.find('=');
    if (equal == std::string::npos) {
        return false;
    }
    entry.key = trim(text.substr(0, equal));
    entry.value = trim(text.substr(equal + 1));
    if (entry.value.size() >= 2 && entry.value.front() == '"' && entry.value.back() == '"') {
        entry.value = entry.value.substr(1, entry.value.size() - 2);
    }
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
    std::string name;
    size_t i = header + 1;
    while (i < m_lines.size() && !sectionHeader(m_lines[i], name)) {
        ++i;
    }
    return i;
}

bool IniText::find(const std::string& section, const std::string& key, std::string& value) const
{
    int header = findSection(section);
    if (header < 0) {
        return false;
    }
    Entry entry;
    for (size_t i = header + 1; i < sectionEnd(header); ++i) {
        if (keyLine(m_lines[i], entry) && sameName(entry.key, key)) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

std::vector<std::string> IniText::sectionNames() const
{
    std::vector<std::string> names;
    std::string name;
    for (const std::string& line : m_lines) {
        if (sectionHeader(line, name)) {
            names.push_back(name);
        }
    }
    return names;
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
        return;
    }
    size_t end = sectionEnd(header);
    Entry entry;
    for (size_t i = header + 1; i < end; ++i) {
        if (keyLine(m_lines[i], entry) && sameName(entry.key, key)) {
            m_lines[i] = line;
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
}

void IniText::removeSection(const std::string& section)
{
    for (int header = findSection(section); header >= 0; header = findSection(section)) {
        m_lines.erase(m_lines.begin() + header, m_lines.begin() + static_cast<long>(sectionEnd(header)));
    }
}

}  // namespace Tessor::IO
