#include "schema/base/AppVersion.h"

#include <cstring>

#include "schema/base/Log.h"

namespace Tessor::schema {

AppVersion::AppVersion()
{
    init();
}

AppVersion::AppVersion(const char* digits)
{
    init();
    size_t length = digits ? strnlen(digits, 8) : 0;
    uint32_t number = 0;
    for (size_t pair = 0; pair < length / 2; ++pair) {
        char high = digits[2 * pair];
        char low = digits[2 * pair + 1];
        uint32_t byte = (static_cast<uint32_t>(static_cast<unsigned char>(high)) << 4 |
                         static_cast<uint32_t>(static_cast<unsigned char>(low - '0'))) & 0xFF;
        number |= byte << (8 * pair);
        m_text[3 * pair] = high;
        m_text[3 * pair + 1] = low;
        m_text[3 * pair + 2] = '.';
    }
    m_version = static_cast<int>(number);
    CPLOG(7, "verion Integer : %d\tVersion : %s", m_version, m_text);
}

AppVersion::AppVersion(int number)
{
    init();
    m_version = number;
    uint32_t value = static_cast<uint32_t>(number);
    for (int i = 0; i < 4; ++i) {
        uint32_t byte = (value >> (8 * i)) & 0xFF;
        m_text[3 * i] = static_cast<char>('0' + (byte >> 4));
        m_text[3 * i + 1] = static_cast<char>('0' + (byte & 0x0F));
        m_text[3 * i + 2] = '.';
    }
    CPLOG(7, "verion Integer : %d\tVersion : %s", m_version, m_text);
}

AppVersion::AppVersion(const AppVersion& other) : m_version(other.m_version)
{
    memcpy(m_text, other.m_text, sizeof m_text);
}

AppVersion& AppVersion::operator=(const AppVersion& other)
{
    m_version = other.m_version;
    memcpy(m_text, other.m_text, sizeof m_text);
    return *this;
}

void AppVersion::init()
{
    m_version = 0;
    memset(m_text, 0, sizeof m_text);
}

}  // namespace Tessor::schema
