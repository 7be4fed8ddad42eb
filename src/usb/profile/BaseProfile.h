// One INI section read into a flat record through a table of keys, and
// written back from it by the same table.
#pragma once

#include <cstddef>
#include <list>
#include <string>

#include "schema/base/Sptr.h"

namespace Tessor::schema {

enum { PROFILE_STRING = 0, PROFILE_INT = 1 };

struct profile_entry_t {
    const char* key;
    size_t offset;  // of the field in the record
    int type;       // PROFILE_INT or PROFILE_STRING
    int size;       // bytes of a string field, terminating zero included
};

struct profile_t {
    int count;
    const profile_entry_t* entries;
};

class BaseProfile {
public:
    static const int STRING_FIELD = 260;

    explicit BaseProfile(const std::string& section);
    BaseProfile(const BaseProfile& other) = default;
    BaseProfile& operator=(const BaseProfile& other) = default;
    virtual ~BaseProfile() = default;

    // Missing integers read 0, missing texts "NONE"; -1 for a bad entry type.
    [[nodiscard]] static int decode(std::string fileName, std::string section, void* record, const profile_t* table);
    // Every key of the table; -1 when one cannot be written.
    [[nodiscard]] static int encode(std::string fileName, std::string section, const void* record, const profile_t* table);
    // Appends the names of every section of the profile's file; returns how many.
    [[nodiscard]] int decodeSecNames(std::string unused);

    const std::string& getFileName() const { return m_fileName; }
    const std::string& getSectionName() const { return m_sectionName; }
    const std::list<Sptr<std::string>>& getSectionList() const { return m_sections; }

    // Every section name of a file, however many there are.
    static std::list<std::string> readSectionNames(const std::string& fileName);

protected:
    // Copies at most size - 1 bytes and always terminates.
    static void copyText(char* field, size_t size, const std::string& text);

    std::string m_fileName;
    std::string m_sectionName;
    std::list<Sptr<std::string>> m_sections;
};

}  // namespace Tessor::schema
