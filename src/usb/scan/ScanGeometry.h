// What the page patterns and scan modes need to know of a device's flash.
#pragma once

namespace Tessor::schema {
class UsbDevice;
}

namespace Tessor::usb {

struct ScanGeometry {
    int pagesPerBlock = 0;
    bool tlc = false;

    static ScanGeometry ofDevice(schema::UsbDevice* device);

    // Whether every pattern of the flash kind is defined for this block size.
    bool hasPagePatterns() const;
};

}  // namespace Tessor::usb
