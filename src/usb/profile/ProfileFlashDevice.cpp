// Identification of a plugged device through its flash-id command.
#include "schema/device/UsbDevice.h"
#include "usb/profile/ProfileFlash.h"

namespace Tessor::usb {

namespace {

class UsbDeviceIdReader : public FlashIdReader {
public:
    explicit UsbDeviceIdReader(Tessor::schema::UsbDevice* device) : m_device(device) {}
    unsigned char* readFlashId(int chip, FLASH_TYPES kind) override { return m_device->readFlashId(chip, kind); }
    const char* getReaderName() const override { return m_device->getName(); }

private:
    Tessor::schema::UsbDevice* m_device;
};

}  // namespace

int ProfileFlash::parseFlashId(Tessor::schema::UsbDevice* device)
{
    UsbDeviceIdReader reader(device);
    return parseFlashId(&reader);
}

}  // namespace Tessor::usb
