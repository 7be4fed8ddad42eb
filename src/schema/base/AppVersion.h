// Application version: four BCD bytes and their readable "dd.dd.dd.dd." form.
#pragma once

#include <cstdint>

namespace Tessor::schema {

class AppVersion {
public:
    static const int TEXT_SIZE = 260;

    AppVersion();
    explicit AppVersion(const char* digits);
    explicit AppVersion(int number);
    AppVersion(const AppVersion& other);
    AppVersion& operator=(const AppVersion& other);

    int getVersion() const { return m_version; }
    const char* getVersionString() const { return m_text; }

private:
    void init();

    int m_version;
    char m_text[TEXT_SIZE];
};

}  // namespace Tessor::schema
