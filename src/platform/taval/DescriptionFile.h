// The device description file: "[Section]" lines and "Key=Value" lines,
// ';' or '#' starting a comment line. Keys are looked up as "Section.Key".
#pragma once

#include <map>
#include <string>

namespace Tessor::taval {

class DescriptionFile {
public:
    // False with `error` set when the file cannot be read or a line is not
    // a section, a key or a comment.
    [[nodiscard]] bool load(const std::string& path, std::string* error);
    bool save(const std::string& path, std::string* error) const;

    std::string get(const std::string& key, const std::string& fallback = "") const;
    void set(const std::string& key, const std::string& value);
    const std::map<std::string, std::string>& values() const { return m_values; }
    const std::string& path() const { return m_path; }
    // Why a value cannot hold, naming file, key and value (escaped).
    std::string refusal(const std::string& key, const std::string& value, const std::string& why) const;

private:
    std::string m_path;
    std::map<std::string, std::string> m_values;
};

}  // namespace Tessor::taval
