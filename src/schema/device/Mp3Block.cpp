#include "schema/device/Mp3Block.h"

#include <cstring>

namespace Tessor::schema {

Mp3Block::Mp3Block(const std::string& name, const Mp3Field* table, int count)
    : BaseData(name), m_table(table), m_count(count), m_fields(static_cast<size_t>(count), 0)
{
}

int Mp3Block::init()
{
    for (int i = 0; i < m_count; ++i) {
        m_fields[static_cast<size_t>(i)] = m_table[i].defaultValue;
    }
    return 0;
}

int32_t Mp3Block::getField(int n) const
{
    return (n >= 0 && n < m_count) ? m_fields[static_cast<size_t>(n)] : 0;
}

void Mp3Block::setField(int n, int32_t value)
{
    if (n >= 0 && n < m_count) {
        m_fields[static_cast<size_t>(n)] = value;
    }
}

int Mp3Block::indexOf(const std::string& fieldName) const
{
    for (int i = 0; i < m_count; ++i) {
        if (fieldName == m_table[i].name) {
            return i;
        }
    }
    return -1;
}

int32_t Mp3Block::get(const std::string& fieldName) const
{
    return getField(indexOf(fieldName));
}

void Mp3Block::set(const std::string& fieldName, int32_t value)
{
    setField(indexOf(fieldName), value);
}

const char* Mp3Block::getFieldName(int n) const
{
    return (n >= 0 && n < m_count) ? m_table[n].name : "";
}

void Mp3Block::copyFields(const Mp3Block& other)
{
    if (m_table == other.m_table) {
        m_fields = other.m_fields;
    }
}

}  // namespace Tessor::schema
