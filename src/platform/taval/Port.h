// One production port of the hub: the device record the engine holds for
// it (kept from start to shutdown and reused by every device plugged here)
// and the device plugged in, guarded by the port's own lock.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/taval/Taval.h"
#include "platform/taval/VirtualDevice.h"

namespace Tessor::taval {

class Hub;

class Port {
public:
    Port(Hub& hub, int index);
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    // The port a record belongs to; null for a record that is not ours.
    static Port* of(const _USB_DEVICE_T* record);

    Hub& hub() { return m_hub; }
    int index() const { return m_index; }
    _USB_DEVICE_T* record() { return m_record.get(); }

    std::shared_ptr<VirtualDevice> device() const;
    std::string folder() const;
    // Binds a device and makes the record ready for the engine.
    void attach(std::shared_ptr<VirtualDevice> device, const std::string& folder);
    // Unbinds and detaches the device; null when the port was empty.
    std::shared_ptr<VirtualDevice> release();
    // The engine is done with the record: unbind it from its slot.
    void close();

private:
    Hub& m_hub;
    const int m_index;
    std::unique_ptr<_USB_DEVICE_T> m_record;
    VOLUME_DEVICE_T m_volume{};
    mutable std::mutex m_mutex;
    std::shared_ptr<VirtualDevice> m_device;
    std::string m_folder;
};

}  // namespace Tessor::taval
