// The simulated USB hub behind the device library: its production ports,
// the library thread that tells the engine what happened, and the controls
// tests and operators use to plug, pull and upset devices.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/taval/EventThread.h"
#include "platform/taval/Port.h"
#include "platform/taval/PortsFolder.h"
#include "platform/taval/Taval.h"

namespace Tessor::taval {

class Hub {
public:
    explicit Hub(DEVICE_INIT_T* init);
    ~Hub();

    // The hub behind a running library; null when none runs.
    static Hub* of(DEVICE_MGR_T* mgr);
    // The hub started with a start record; null when none runs.
    static Hub* of(const DEVICE_INIT_T* init);

    // Watches the ports folder the environment names, if it names one (see
    // PortsFolder); false when another running tool watches it.
    [[nodiscard]] bool watchPortsFolder();
    // Starts the library thread, which reports the layer ready first.
    void start();
    void stop();

    int portCount() const { return int(m_ports.size()); }
    Port* port(int index);

    // Plugs the device kept in `folder` into a port, with a drive text no
    // other plugged device has. 0 on success; negative with `error` set when
    // the folder is no device, the port is taken or the device is plugged
    // elsewhere already (then nothing is plugged).
    [[nodiscard]] int plug(int port, const std::string& folder, std::string* error);
    // Pulls the device out of a port; negative when the port is empty.
    [[nodiscard]] int unplug(int port);
    // Reports a library error of the device on a port.
    [[nodiscard]] int injectError(int port, int code);
    std::shared_ptr<VirtualDevice> device(int port);
    // The plugged device whose drive text is `drive`, on any running hub.
    static std::shared_ptr<VirtualDevice> findDrive(const std::string& drive);

    // Waits until every event so far reached the engine.
    void waitEventsDelivered() { m_events.waitDelivered(); }

    // Where a device's cancel rule sets the engine's cancel code; called
    // with the port and the code on the thread of the operation.
    using CancelHook = std::function<void(int port, int code)>;
    void setCancelHook(CancelHook hook);
    // Called after each operation with its port, on the thread of the
    // operation; true pulls the device out there, as a removal rule does.
    using OperationHook = std::function<bool(int port)>;
    void setOperationHook(OperationHook hook);

    // Called after each operation on a record: carries out the removal,
    // error and cancel rules of its device, and reports an eject outcome.
    void afterOperation(DeviceRecord& record);
    void reportEject(DeviceRecord& record, bool ejected);
    // Command from the engine (HW_CMD_AFTER_PLUG_IN, HW_CMD_CLOSE_DEVICE);
    // 0 for a record the hub does not keep (closed and pulled out already).
    [[nodiscard]] int command(_USB_DEVICE_T* record, int kind);

private:
    std::shared_ptr<DeviceRecord> find(const _USB_DEVICE_T* record) const;

    DEVICE_INIT_T* m_init;
    std::vector<std::unique_ptr<Port>> m_ports;
    std::mutex m_plugMutex;  // plugging and pulling only, never the data path
    EventThread m_events;
    std::unique_ptr<PortsFolder> m_portsFolder;
    std::mutex m_hookMutex;
    CancelHook m_cancelHook;
    OperationHook m_operationHook;
};

}  // namespace Tessor::taval
