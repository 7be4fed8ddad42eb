#include "schema/device/BootRecords.h"

#include "platform/orrin/Sector.h"

#include <cstring>

namespace Tessor::schema {

namespace {
constexpr uint16_t kLoadAddress = 0x7C00;
}  // namespace

void makeBootProgram(uint8_t* sector, int entry, const char* message, bool jumpFirst)
{
    std::memset(sector, 0, SECTOR_BYTES);
    if (jumpFirst) {
        sector[0] = 0xEB;
        sector[1] = static_cast<uint8_t>(entry - 2);
        sector[2] = 0x90;
    }
    // xor ax,ax; mov ds,ax; mov si,msg; cld
    // print: lodsb; or al,al; jz wait; mov ah,0Eh; mov bx,7; int 10h; jmp print
    // wait: xor ax,ax; int 16h; int 19h
    static const uint8_t kCode[] = {0x31, 0xC0, 0x8E, 0xD8, 0xBE, 0x00, 0x00, 0xFC, 0xAC, 0x08,
                                    0xC0, 0x74, 0x09, 0xB4, 0x0E, 0xBB, 0x07, 0x00, 0xCD, 0x10,
                                    0xEB, 0xF2, 0x31, 0xC0, 0xCD, 0x16, 0xCD, 0x19};
    uint8_t* code = sector + entry;
    std::memcpy(code, kCode, sizeof kCode);
    const uint16_t text = static_cast<uint16_t>(kLoadAddress + entry + sizeof kCode);
    code[5] = static_cast<uint8_t>(text);
    code[6] = static_cast<uint8_t>(text >> 8);
    std::strcpy(reinterpret_cast<char*>(code + sizeof kCode), message);
    sector[SECTOR_BYTES - 2] = 0x55;
    sector[SECTOR_BYTES - 1] = 0xAA;
}

}  // namespace Tessor::schema
