// One INI file held as its lines, so an edit keeps every other line as it was.
#pragma once

#include <sys/stat.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace Tessor::IO {

// Records the failure text that iniLastErrorText gives back.
void setIniError(const char* text);

class IniText {
public:
    // An empty text for a missing file; false when the file exists but
    // cannot be read or is not a regular file. `status` receives the state
    // of the file that was read.
    [[nodiscard]] bool load(const std::string& path, bool& exists, struct stat* status = nullptr);
    // The file's bytes, unparsed, with the same outcomes as load.
    [[nodiscard]] static bool readBytes(const std::string& path, bool& exists, std::string& bytes, struct stat* status);
    // Takes the lines of a text already read (a file in another encoding).
    void parse(const std::string& text);
    // Writes a temporary file beside the target and renames it over it,
    // keeping the mode and owner of the file it replaces.
    bool save(const std::string& path) const;

    // The value of the first matching key of the first matching section.
    bool find(const std::string& section, const std::string& key, std::string& value) const;
    // The names of the sections in file order; a section without a name is
    // left out, since the list ends at the first empty name.
    const std::vector<std::string>& sectionNames() const { return m_names; }

    void setValue(const std::string& section, const std::string& key, const std::string& value);
    void removeKey(const std::string& section, const std::string& key);
    void removeSection(const std::string& section);

private:
    struct Entry {
        std::string key;
        std::string value;
    };

    [[nodiscard]] static bool sectionHeader(const std::string& line, std::string& name);
    [[nodiscard]] static bool keyLine(const std::string& line, Entry& entry);
    // Index of the header line of the first matching section, or -1.
    int findSection(const std::string& section) const;
    // One past the last line of the section whose header is at index.
    size_t sectionEnd(size_t header) const;
    // Rebuilds the look-up tables from the lines after every change.
    void reindex();

    std::vector<std::string> m_lines;
    // Lower-case section name to the line of its first header; a key is
    // looked up in that section's lines, the first match winning.
    std::unordered_map<std::string, size_t> m_sections;
    std::vector<std::string> m_names;
    const char* m_lineEnd = "\n";
    bool m_bom = false;
};

}  // namespace Tessor::IO
