#include "platform/taval/Port.h"

#include <cstring>

#include "platform/taval/Operations.h"

namespace Tessor::taval {

Port::Port(Hub& hub, int index) : m_hub(hub), m_index(index), m_record(new _USB_DEVICE_T()) {
    m_record->slotIndex = -1;
    m_record->diskHandle = this;
    m_record->operations = &deviceOperations();
    m_record->volume = &m_volume;
    m_volume.device = m_record.get();
}

Port* Port::of(const _USB_DEVICE_T* record) {
    return record == nullptr ? nullptr : static_cast<Port*>(record->diskHandle);
}

std::shared_ptr<VirtualDevice> Port::device() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_device;
}

std::string Port::folder() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_folder;
}

void Port::attach(std::shared_ptr<VirtualDevice> device, const std::string& folder) {
    std::lock_guard<std::mutex> lock(m_mutex);
    _USB_DEVICE_T& r = *m_record;
    std::memset(r.driveText, 0, sizeof r.driveText);
    std::strncpy(r.driveText, device->description().driveText.c_str(), sizeof r.driveText - 1);
    r.slotIndex = m_index;
    r.dataLength = 0;
    m_device = std::move(device);
    m_folder = folder;
}

std::shared_ptr<VirtualDevice> Port::release() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::shared_ptr<VirtualDevice> device = std::move(m_device);
    m_device.reset();
    m_folder.clear();
    if (device) {
        device->detach();
    }
    return device;
}

void Port::close() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_record->slotIndex = -1;
    if (m_device) {
        m_device->close();
    }
}

}  // namespace Tessor::taval
