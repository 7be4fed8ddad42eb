// The 16-byte command block of the vendor scan read (operation 0xD4).
#pragma once

#include <array>

namespace Tessor::schema {

class VendorCommandBlock {
public:
    static constexpr unsigned char OPERATION_CODE = 0xD4;
    static constexpr int SIZE = 16;

    VendorCommandBlock(unsigned char chip, unsigned int sector, const unsigned char* param4, unsigned char command,
                       unsigned short jump, unsigned short repeat, unsigned char flag);

    const unsigned char* bytes() const { return m_bytes.data(); }

private:
    std::array<unsigned char, SIZE> m_bytes{};
};

}  // namespace Tessor::schema
