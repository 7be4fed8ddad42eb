// One production port of the hub: the device plugged in and its record,
// and the records of devices pulled out that the engine has not closed yet.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/taval/DeviceRecord.h"
#include "platform/taval/Taval.h"
#include "platform/taval/VirtualDevice.h"

namespace Tessor::taval {

class Hub;

class Port {
public:
    Port(Hub& hub, int index);
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    // The port a record belongs to; null for a null record.
    static Port* of(const _USB_DEVICE_T* record);

    Hub& hub() { return m_hub; }
    int index() const { return m_index; }
    // Record of the device plugged in; null when the port is empty.
    _USB_DEVICE_T* record() const;
    std::shared_ptr<DeviceRecord> current() const;
    std::shared_ptr<VirtualDevice> device() const;
    std::string folder() const;

    // Plugs a device in and makes its record, known to the host as `driveText`.
    std::shared_ptr<DeviceRecord> attach(std::shared_ptr<VirtualDevice> device, const std::string& folder,
                                         const std::string& driveText);
    // Pulls the device out; its record stays until the engine closes it.
    // Null when the port was empty. Never waits for an operation.
    std::shared_ptr<DeviceRecord> release();
    // The engine is done with a record of this port: its device (only its
    // own) loses its controller RAM, and the port keeps the record no
    // longer than the device stays plugged in.
    void close(const std::shared_ptr<DeviceRecord>& record);
    // The record this port keeps for an engine pointer; null when it keeps
    // none (closed and pulled out, or never made here).
    std::shared_ptr<DeviceRecord> find(const _USB_DEVICE_T* record) const;

private:

    Hub& m_hub;
    const int m_index;
    mutable std::mutex m_mutex;
    std::shared_ptr<DeviceRecord> m_current;
    bool m_currentClosed = false;
    std::vector<std::shared_ptr<DeviceRecord>> m_pulled;  // pulled, not closed yet
    std::string m_folder;
};

}  // namespace Tessor::taval
