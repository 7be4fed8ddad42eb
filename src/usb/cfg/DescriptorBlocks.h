// The USB descriptors and SCSI inquiry data a configuration table carries,
// as the controller reads them: byte arrays, descriptor words low byte first.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Tessor::usb {

// String descriptors: bLength, type 3, then 16-bit characters (low byte the
// character). The forms differ in size and in how bLength is written: a
// fixed 0x22, or twice the characters stored.
template <int Chars, bool FixedLength>
struct StringForm {
    static constexpr int kChars = Chars;
    static constexpr bool kFixedLength = FixedLength;
    uint8_t bLength;
    uint8_t bDescriptorType;
    uint8_t text[2 * Chars];
};

using __STRING_DESCRIPTOR = StringForm<17, true>;
using _USB_STRING_PRODUCT = StringForm<8, false>;
using _USB_STRING_MANUFACT = StringForm<16, false>;
using _USB_STRING_SERIAL = StringForm<16, true>;
static_assert(sizeof(__STRING_DESCRIPTOR) == 36);
static_assert(sizeof(_USB_STRING_PRODUCT) == 18);
static_assert(sizeof(_USB_STRING_MANUFACT) == 34);
static_assert(sizeof(_USB_STRING_SERIAL) == 34);

// The 36 bytes of SCSI INQUIRY data.
struct InquiryData {
    static constexpr int kVendorChars = 8;
    static constexpr int kProductChars = 16;
    uint8_t deviceType;  // 0x00 direct access, 0x05 CD-ROM
    uint8_t removable;   // 0x80 removable medium
    uint8_t head[6];
    char vendor[kVendorChars];
    char product[kProductChars];
    char revision[4];
};
static_assert(sizeof(InquiryData) == 36);

struct DeviceDescriptor {
    uint8_t head[8];
    uint8_t idVendor[2];
    uint8_t idProduct[2];
    uint8_t tail[6];
};
static_assert(sizeof(DeviceDescriptor) == 18);

// Descriptor block of 6706 and 6716.
struct _CFG_TBL_INFO {
    static constexpr int kTextSize = 18;
    DeviceDescriptor device;
    char password[kTextSize];
    DeviceDescriptor device2;
    char serialNumber[kTextSize];
    __STRING_DESCRIPTOR language;
    __STRING_DESCRIPTOR manufacturer;
    __STRING_DESCRIPTOR product;
    __STRING_DESCRIPTOR serial;
    InquiryData inquiry;
};
static_assert(sizeof(_CFG_TBL_INFO) == 252);
static_assert(offsetof(_CFG_TBL_INFO, serialNumber) == 54);
static_assert(offsetof(_CFG_TBL_INFO, manufacturer) == 108);
static_assert(offsetof(_CFG_TBL_INFO, inquiry) == 216);

// Descriptor block of 6716V31, 6716V32 and 6726; 6605 has one of the same layout.
struct CFG_INFO_V31 {
    DeviceDescriptor device;
    uint8_t language[4];
    _USB_STRING_PRODUCT manufacturer;
    _USB_STRING_MANUFACT product;
    _USB_STRING_SERIAL serial;
    InquiryData inquiry;
};
static_assert(sizeof(CFG_INFO_V31) == 144);
static_assert(offsetof(CFG_INFO_V31, product) == 40);
static_assert(offsetof(CFG_INFO_V31, inquiry) == 108);

}  // namespace Tessor::usb
