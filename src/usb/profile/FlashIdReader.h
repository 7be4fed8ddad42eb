// The flash-id read that identification needs of a device.
#pragma once

namespace Tessor::usb {

enum FLASH_TYPES { FLASH_ID_NORMAL = 0, FLASH_ID_SINGLE = 1, FLASH_ID_DIRECT = 2 };

class FlashIdReader {
public:
    virtual ~FlashIdReader() = default;
    // At least eight answer bytes of that chip, or null when the command failed.
    virtual const unsigned char* readFlashId(int chipNo, FLASH_TYPES kind) = 0;
    virtual const char* getFlashReaderName() const = 0;
};

}  // namespace Tessor::usb
