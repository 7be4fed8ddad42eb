// The flash-id read that identification needs of a device.
#pragma once

#include "platform/taval/Taval.h"

namespace Tessor::usb {

class FlashIdReader {
public:
    virtual ~FlashIdReader() = default;
    // At least eight answer bytes of that chip, or null when the command failed.
    [[nodiscard]] virtual unsigned char* readFlashId(int chip, FLASH_TYPES kind) = 0;
    // The device's name for log lines.
    virtual const char* getReaderName() const = 0;
};

}  // namespace Tessor::usb
