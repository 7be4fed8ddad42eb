#include "platform/taval/Port.h"

#include <algorithm>

namespace Tessor::taval {

Port::Port(Hub& hub, int index) : m_hub(hub), m_index(index) {}

Port* Port::of(const _USB_DEVICE_T* record) {
    DeviceRecord* r = DeviceRecord::of(record);
    return r == nullptr ? nullptr : &r->port();
}

_USB_DEVICE_T* Port::record() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_current ? m_current->usb() : nullptr;
}

std::shared_ptr<DeviceRecord> Port::current() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_current;
}

std::shared_ptr<VirtualDevice> Port::device() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_current ? m_current->device() : nullptr;
}

std::string Port::folder() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_folder;
}

std::shared_ptr<DeviceRecord> Port::attach(std::shared_ptr<VirtualDevice> device, const std::string& folder,
                                         const std::string& driveText) {
    auto record = std::make_shared<DeviceRecord>(*this, std::move(device), driveText);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_current = record;
    m_currentClosed = false;
    m_folder = folder;
    return record;
}

std::shared_ptr<DeviceRecord> Port::release() {
    std::shared_ptr<DeviceRecord> record;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        record = std::move(m_current);
        m_current.reset();
        m_folder.clear();
        if (record && !m_currentClosed) {
            m_pulled.push_back(record);
        }
    }
    if (record) {
        record->device()->detach();
    }
    return record;
}

void Port::close(const std::shared_ptr<DeviceRecord>& record) {
    record->device()->close();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (record == m_current) {
        m_currentClosed = true;
    }
    m_pulled.erase(std::remove(m_pulled.begin(), m_pulled.end(), record), m_pulled.end());
}

std::shared_ptr<DeviceRecord> Port::find(const _USB_DEVICE_T* usb) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_current && m_current->usb() == usb) {
        return m_current;
    }
    for (const auto& r : m_pulled) {
        if (r->usb() == usb) {
            return r;
        }
    }
    return nullptr;
}

}  // namespace Tessor::taval
