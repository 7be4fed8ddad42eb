#include "platform/taval/DeviceRecord.h"

#include <cstring>

#include "platform/taval/Operations.h"
#include "platform/taval/Port.h"

namespace Tessor::taval {

DeviceRecord::DeviceRecord(Port& port, std::shared_ptr<VirtualDevice> device, const std::string& driveText)
    : m_port(port), m_device(std::move(device)), m_usb(new _USB_DEVICE_T()) {
    _USB_DEVICE_T& r = *m_usb;
    r.diskHandle = this;
    std::strncpy(r.driveText, driveText.c_str(), sizeof r.driveText - 1);
    r.slotIndex = port.index();
    r.dataLength = 0;
    r.operations = &deviceOperations();
    r.volume = &m_volume;
    m_volume.device = m_usb.get();
}

DeviceRecord* DeviceRecord::of(const _USB_DEVICE_T* record) {
    return record == nullptr ? nullptr : static_cast<DeviceRecord*>(record->diskHandle);
}

}  // namespace Tessor::taval
