// How the run lays the system area over the planes: the single-plane layout
// (block mode off, one plane) and the block-mode multi-plane layout (block
// mode on, more planes). Neither holds for the two mixed cases.
#pragma once

namespace Tessor::schema {
class UsbDevice;
}

namespace Tessor::usb {

class PlaneLayout {
public:
    // Both need the device's plane description.
    static bool isSinglePlane(schema::UsbDevice* device);
    static bool isBlockModeMultiPlane(schema::UsbDevice* device);
};

}  // namespace Tessor::usb
