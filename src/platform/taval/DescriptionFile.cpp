#include "platform/taval/DescriptionFile.h"

#include <fstream>
#include <sstream>

#include "platform/taval/PrintableText.h"

namespace Tessor::taval {

namespace {
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) {
        return "";
    }
    const size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}
}  // namespace

bool DescriptionFile::load(const std::string& path, std::string* error) {
    m_path = path;
    m_values.clear();
    std::ifstream in(path);
    if (!in) {
        *error = printableText(path) + ": cannot be read";
        return false;
    }
    std::string line;
    std::string section;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        // Editors on other systems begin the file with a byte-order mark.
        if (number == 1 && line.rfind(kByteOrderMark, 0) == 0) {
            line.erase(0, sizeof kByteOrderMark - 1);
        }
        const std::string t = trim(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') {
            continue;
        }
        if (t.front() == '[' && t.back() == ']') {
            section = trim(t.substr(1, t.size() - 2));
            continue;
        }
        const size_t eq = t.find('=');
        if (eq == std::string::npos || section.empty() || trim(t.substr(0, eq)).empty()) {
            *error = printableText(path) + ": line " + std::to_string(number) + " '" + printableText(t) +
                     "' is not a key";
            return false;
        }
        m_values[section + "." + trim(t.substr(0, eq))] = trim(t.substr(eq + 1));
    }
    return true;
}

bool DescriptionFile::save(const std::string& path, std::string* error) const {
    std::ostringstream out;
    std::string section;
    for (const auto& [key, value] : m_values) {
        const size_t dot = key.find('.');
        const std::string s = key.substr(0, dot);
        if (s != section) {
            out << (section.empty() ? "" : "\n") << '[' << s << "]\n";
            section = s;
        }
        if (value.find_first_of("\r\n") != std::string::npos) {
            *error = path + ": key " + key + " value '" + value + "': spans lines";
            return false;
        }
        out << key.substr(dot + 1) << '=' << value << '\n';
    }
    std::ofstream file(path, std::ios::trunc);
    file << out.str();
    if (!file.flush()) {
        *error = path + ": cannot be written";
        return false;
    }
    return true;
}

std::string DescriptionFile::get(const std::string& key, const std::string& fallback) const {
    const auto it = m_values.find(key);
    return it == m_values.end() ? fallback : it->second;
}

std::string DescriptionFile::refusal(const std::string& key, const std::string& value, const std::string& why) const {
    return printableText(m_path) + ": key " + printableText(key) + " value '" + printableText(value) + "': " + why;
}

void DescriptionFile::set(const std::string& key, const std::string& value) { m_values[key] = value; }

}  // namespace Tessor::taval
