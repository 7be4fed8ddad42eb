// The record the engine holds for one plugged device. Every plug-in makes a
// new one, tied to that device alone: a record the engine still holds never
// speaks for the port's next device, and closing it touches only its own.
// The hub keeps it until the engine has closed it and the device has left
// its port; an event posted for it keeps it until delivered.
#pragma once

#include <memory>
#include <string>

#include "platform/taval/Taval.h"
#include "platform/taval/VirtualDevice.h"

namespace Tessor::taval {

class Port;

class DeviceRecord : public std::enable_shared_from_this<DeviceRecord> {
public:
    // `driveText`: the drive the host knows the device by while it is plugged.
    DeviceRecord(Port& port, std::shared_ptr<VirtualDevice> device, const std::string& driveText);
    DeviceRecord(const DeviceRecord&) = delete;
    DeviceRecord& operator=(const DeviceRecord&) = delete;

    // The record behind an engine pointer; null for a null pointer.
    static DeviceRecord* of(const _USB_DEVICE_T* record);

    Port& port() const { return m_port; }
    _USB_DEVICE_T* usb() const { return m_usb.get(); }
    // The device this record was made for, gone or not.
    const std::shared_ptr<VirtualDevice>& device() const { return m_device; }
    std::string driveText() const { return m_usb->driveText; }

private:
    Port& m_port;
    const std::shared_ptr<VirtualDevice> m_device;
    const std::unique_ptr<_USB_DEVICE_T> m_usb;
    VOLUME_DEVICE_T m_volume{};
};

}  // namespace Tessor::taval
