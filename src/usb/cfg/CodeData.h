// One piece of a firmware image file: `length` sectors read at 4 KB step
// `offset` of the file, sealed with a checksum word except on the 6605.
#pragma once

#include <string>
#include <vector>

#include "schema/data/BaseData.h"
#include "usb/cfg/CodeTypes.h"

namespace Tessor::usb {

class CodeData : public schema::BaseData {
public:
    static constexpr int STEP_BYTES = 4096;
    // A piece never holds more than this.
    static constexpr int MAX_BYTES = 65536;

    CodeData(const std::string& file, int offset, int length, CODE_TYPE_T type);

    // Bytes read; 0 when the file gave nothing for this piece.
    int init() override;

    int getOffset() const { return m_offset; }
    int getLength() const { return m_length; }
    CODE_TYPE_T getCodeType() const { return m_type; }
    int getCodeLengthInBytes() const { return m_length * 512; }
    const unsigned char* getCodeBuffer() const { return m_buffer.data(); }
    const std::string& getFileName() const { return m_file; }
    int getBytesRead() const { return m_read; }

private:
    std::string m_file;
    int m_offset;
    int m_length;
    CODE_TYPE_T m_type;
    std::vector<unsigned char> m_buffer;
    int m_read = 0;
};

}  // namespace Tessor::usb
