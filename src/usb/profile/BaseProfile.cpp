#include "usb/profile/BaseProfile.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/ini/Ini.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"

namespace Tessor::schema {

namespace {

char* fieldOf(void* record, const profile_entry_t& entry)
{
    return static_cast<char*>(record) + entry.offset;
}

const char* fieldOf(const void* record, const profile_entry_t& entry)
{
    return static_cast<const char*>(record) + entry.offset;
}

// Passwords never reach the log in clear.
bool isSecret(const char* key)
{
    return strcasestr(key, "password") != nullptr;
}

}  // namespace

BaseProfile::BaseProfile(const std::string& section) : m_sectionName(section)
{
}

void BaseProfile::copyText(char* field, size_t size, const std::string& text)
{
    memset(field, 0, size);
    memcpy(field, text.data(), std::min(text.size(), size - 1));
}

int BaseProfile::decode(std::string fileName, std::string section, void* record, const profile_t* table)
{
    for (int i = 0; i < table->count; ++i) {
        const profile_entry_t& entry = table->entries[i];
        char* field = fieldOf(record, entry);
        if (entry.type == PROFILE_INT) {
            int32_t value = static_cast<int32_t>(
                GetPrivateProfileIntA(section.c_str(), entry.key, 0, fileName.c_str()));
            memcpy(field, &value, sizeof value);
        } else if (entry.type == PROFILE_STRING) {
            char buffer[STRING_FIELD] = {};
            unsigned count = GetPrivateProfileStringA(section.c_str(), entry.key, "NONE", buffer, sizeof buffer,
                                                      fileName.c_str());
            if (count != 0 && strcmp(buffer, "NONE") != 0) {
                copyText(field, static_cast<size_t>(entry.size), buffer);
            } else {
                CPLOG(7, "field '%s' decoding failed : %s !", entry.key, Tessor::IO::iniLastErrorText());
                copyText(field, static_cast<size_t>(entry.size), std::string(buffer, strnlen(buffer, 4)));
            }
        } else {
            CPLOG(7, "field TYPE ERROR !!");
            return -1;
        }
    }
    return 0;
}

int BaseProfile::encode(std::string fileName, std::string section, const void* record, const profile_t* table)
{
    for (int i = 0; i < table->count; ++i) {
        const profile_entry_t& entry = table->entries[i];
        const char* field = fieldOf(record, entry);
        std::string text;
        if (entry.type == PROFILE_INT) {
            int32_t value;
            memcpy(&value, field, sizeof value);
            char buffer[65] = {};
            snprintf(buffer, sizeof buffer, "%d", value);
            text = buffer;
        } else {
            TESSOR_ASSERT(entry.type == PROFILE_STRING);
            text.assign(field, strnlen(field, static_cast<size_t>(entry.size)));
        }
        if (WritePrivateProfileStringA(section.c_str(), entry.key, text.c_str(), fileName.c_str()) == 0) {
            CPLOG(3, "field '%s' encoding failed : %s", entry.key, Tessor::IO::iniLastErrorText());
            return -1;
        }
    }
    for (int i = 0; i < table->count; ++i) {
        const profile_entry_t& entry = table->entries[i];
        const char* field = fieldOf(record, entry);
        if (entry.type == PROFILE_INT) {
            int32_t value;
            memcpy(&value, field, sizeof value);
            CPLOG(7, "field '%s' is : '%d'", entry.key, value);
        } else {
            std::string text(field, strnlen(field, static_cast<size_t>(entry.size)));
            CPLOG(7, "field '%s' is : '%s'", entry.key, isSecret(entry.key) && !text.empty() ? "******" : text.c_str());
        }
    }
    return 0;
}

std::list<std::string> BaseProfile::readSectionNames(const std::string& fileName)
{
    unsigned size = 512;
    std::vector<char> buffer(size);
    while (GetPrivateProfileSectionNamesA(buffer.data(), size, fileName.c_str()) == size - 2) {
        size *= 2;
        buffer.assign(size, '\0');
    }
    std::list<std::string> names;
    for (const char* name = buffer.data(); *name != '\0'; name += strlen(name) + 1) {
        names.push_back(name);
    }
    return names;
}

int BaseProfile::decodeSecNames(std::string /*unused*/)
{
    int count = 0;
    for (const std::string& name : readSectionNames(m_fileName)) {
        m_sections.push_back(Sptr<std::string>(new std::string(name)));
        ++count;
    }
    return count;
}

}  // namespace Tessor::schema
