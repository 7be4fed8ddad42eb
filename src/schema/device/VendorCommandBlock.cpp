#include "schema/device/VendorCommandBlock.h"

namespace Tessor::schema {

VendorCommandBlock::VendorCommandBlock(unsigned char chip, unsigned int sector, const unsigned char* param4,
                                       unsigned char command, unsigned short jump, unsigned short repeat,
                                       unsigned char flag)
{
    m_bytes[0] = OPERATION_CODE;
    m_bytes[1] = static_cast<unsigned char>(sector >> 24);
    m_bytes[2] = static_cast<unsigned char>(sector >> 16);
    m_bytes[3] = static_cast<unsigned char>(sector >> 8);
    m_bytes[4] = static_cast<unsigned char>(sector);
    m_bytes[5] = flag;
    m_bytes[6] = chip;
    for (int i = 0; i < 4; ++i) {
        m_bytes[7 + i] = param4 != nullptr ? param4[i] : 0;
    }
    m_bytes[11] = command;
    m_bytes[12] = static_cast<unsigned char>(jump >> 8);
    m_bytes[13] = static_cast<unsigned char>(jump);
    m_bytes[14] = static_cast<unsigned char>(repeat >> 8);
    m_bytes[15] = static_cast<unsigned char>(repeat);
}

}  // namespace Tessor::schema
