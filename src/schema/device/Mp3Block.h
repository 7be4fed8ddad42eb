// A block of MP3-player settings: named 32-bit fields with their defaults.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"

namespace Tessor::schema {

struct Mp3Field {
    const char* name;
    int32_t defaultValue;
};

class Mp3Block : public BaseData {
public:
    ~Mp3Block() override = default;

    int init() override;
    int getFieldCount() const { return m_count; }
    // Field n counts from 0 in the block's order; out of range reads 0.
    int32_t getField(int n) const;
    void setField(int n, int32_t value);
    int32_t get(const std::string& fieldName) const;
    void set(const std::string& fieldName, int32_t value);
    const char* getFieldName(int n) const;
    // Copies the field values only.
    void copyFields(const Mp3Block& other);

protected:
    Mp3Block(const std::string& name, const Mp3Field* table, int count);

private:
    int indexOf(const std::string& fieldName) const;

    const Mp3Field* m_table;
    int m_count;
    std::vector<int32_t> m_fields;
};

}  // namespace Tessor::schema
