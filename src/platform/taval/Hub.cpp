#include "platform/taval/Hub.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <system_error>

#include "platform/taval/PrintableText.h"
#include "platform/orrin/PlatformLog.h"

namespace Tessor::taval {

namespace {
std::mutex g_hubsMutex;
std::vector<Hub*> g_hubs;

// A drive text no device plugged into a running hub has: the device's own,
// or else the first free one of it with a number after it, as a host names
// a second drive that calls itself the same. The caller holds the hubs' lock.
std::string freeDriveText(const std::string& wanted) {
    std::set<std::string> taken;
    for (Hub* hub : g_hubs) {
        for (int i = 0; i < hub->portCount(); ++i) {
            if (const std::shared_ptr<DeviceRecord> record = hub->port(i)->current()) {
                taken.insert(record->driveText());
            }
        }
    }
    std::string text = wanted;
    for (int n = 1; taken.count(text) != 0; ++n) {
        const std::string number = std::to_string(n);
        text = wanted.substr(0, size_t(USB_DEVICE_DRIVE_TEXT_SIZE - 1) - number.size()) + number;
    }
    return text;
}
}  // namespace

Hub::Hub(DEVICE_INIT_T* init) : m_init(init), m_events(init, [this] {
    if (m_portsFolder) {
        m_portsFolder->poll();
    }
}) {
    for (int i = 0; i < init->deviceCount; ++i) {
        m_ports.push_back(std::make_unique<Port>(*this, i));
    }
    std::lock_guard<std::mutex> lock(g_hubsMutex);
    g_hubs.push_back(this);
}

Hub::~Hub() {
    {
        std::lock_guard<std::mutex> lock(g_hubsMutex);
        g_hubs.erase(std::find(g_hubs.begin(), g_hubs.end(), this));
    }
    stop();
}

Hub* Hub::of(DEVICE_MGR_T* mgr) { return mgr == nullptr ? nullptr : static_cast<Hub*>(mgr->library); }

Hub* Hub::of(const DEVICE_INIT_T* init) {
    std::lock_guard<std::mutex> lock(g_hubsMutex);
    for (Hub* hub : g_hubs) {
        if (hub->m_init == init) {
            return hub;
        }
    }
    return nullptr;
}

std::shared_ptr<VirtualDevice> Hub::findDrive(const std::string& drive) {
    std::lock_guard<std::mutex> lock(g_hubsMutex);
    for (Hub* hub : g_hubs) {
        for (auto& p : hub->m_ports) {
            const std::shared_ptr<DeviceRecord> record = p->current();
            if (record && record->device()->present() && record->driveText() == drive) {
                return record->device();
            }
        }
    }
    return nullptr;
}

bool Hub::watchPortsFolder() {
    const char* folder = std::getenv(PortsFolder::kEnvironment);
    if (folder == nullptr || *folder == '\0') {
        return true;
    }
    m_portsFolder = PortsFolder::watch(*this, folder);
    if (!m_portsFolder) {
        return false;
    }
    PLATFORM_LOG(7, "watching ports folder %s", folder);
    return true;
}

void Hub::start() {
    m_events.post(HW_EVT_LAYER_READY, -1, nullptr, 0);
    m_events.start();
}

void Hub::stop() {
    m_events.stop();
    for (auto& p : m_ports) {
        p->release();
    }
}

Port* Hub::port(int index) {
    return index >= 0 && index < portCount() ? m_ports[size_t(index)].get() : nullptr;
}

int Hub::plug(int index, const std::string& folder, std::string* error) {
    std::lock_guard<std::mutex> lock(m_plugMutex);
    Port* p = port(index);
    if (p == nullptr) {
        *error = "port " + std::to_string(index) + " does not exist";
        return -1;
    }
    std::error_code ec;
    const std::string canonical = std::filesystem::weakly_canonical(folder, ec).string();
    for (auto& other : m_ports) {
        if (!other->folder().empty() && other->folder() == canonical) {
            *error = printableText(folder) + ": plugged into port " + std::to_string(other->index()) + " already";
            return -2;
        }
    }
    if (p->device()) {
        *error = "port " + std::to_string(index) + " holds a device already";
        return -3;
    }
    std::shared_ptr<VirtualDevice> device = VirtualDevice::open(canonical, error);
    if (!device) {
        return -4;
    }
    if (!device->claim()) {
        *error = printableText(folder) + ": plugged into another station";
        return -5;
    }
    std::shared_ptr<DeviceRecord> record;
    {
        std::lock_guard<std::mutex> hubs(g_hubsMutex);
        const std::string drive = freeDriveText(device->description().driveText);
        if (drive != device->description().driveText) {
            PLATFORM_LOG(7, "port %d: drive %s is taken; the device is drive %s", index,
                  device->description().driveText.c_str(), drive.c_str());
        }
        record = p->attach(std::move(device), canonical, drive);
    }
    m_events.post(HW_EVT_PLUG_IN, index, std::move(record), 0);
    return 0;
}

int Hub::unplug(int index) {
    std::lock_guard<std::mutex> lock(m_plugMutex);
    Port* p = port(index);
    std::shared_ptr<DeviceRecord> record = p == nullptr ? nullptr : p->release();
    if (!record) {
        PLATFORM_LOG(3, "no device to pull out of port %d", index);
        return -1;
    }
    m_events.post(HW_EVT_REMOVED, index, std::move(record), 0);
    return 0;
}

int Hub::injectError(int index, int code) {
    Port* p = port(index);
    std::shared_ptr<DeviceRecord> record = p == nullptr ? nullptr : p->current();
    if (!record) {
        PLATFORM_LOG(3, "no device on port %d to report error %d for", index, code);
        return -1;
    }
    m_events.post(HW_EVT_ERROR, index, std::move(record), code);
    return 0;
}

std::shared_ptr<VirtualDevice> Hub::device(int index) {
    Port* p = port(index);
    return p == nullptr ? nullptr : p->device();
}

void Hub::setCancelHook(CancelHook hook) {
    std::lock_guard<std::mutex> lock(m_hookMutex);
    m_cancelHook = std::move(hook);
}

void Hub::setOperationHook(OperationHook hook) {
    std::lock_guard<std::mutex> lock(m_hookMutex);
    m_operationHook = std::move(hook);
}

void Hub::afterOperation(DeviceRecord& record) {
    Port& p = record.port();
    VirtualDevice& device = *record.device();
    OperationHook observe;
    {
        std::lock_guard<std::mutex> lock(m_hookMutex);
        observe = m_operationHook;
    }
    const bool pull = observe && observe(p.index());
    const int code = device.takeErrorRequest();
    if (code >= 0) {
        m_events.post(HW_EVT_ERROR, p.index(), record.shared_from_this(), code);
    }
    const int cancel = device.takeCancelRequest();
    if (cancel >= 0) {
        CancelHook hook;
        {
            std::lock_guard<std::mutex> lock(m_hookMutex);
            hook = m_cancelHook;
        }
        PLATFORM_LOG(7, "operator cancels device on port %d with 0x%X", p.index(), cancel);
        if (hook) {
            hook(p.index(), cancel);
        } else {
            m_events.post(HW_EVT_CANCEL, p.index(), record.shared_from_this(), cancel);
        }
    }
    if ((device.takeRemovalRequest() || pull) && p.current().get() == &record) {
        (void)unplug(p.index());  // the port holds this record, so it is plugged
    }
}

void Hub::reportEject(DeviceRecord& record, bool ejected) {
    m_events.post(ejected ? HW_EVT_EJECTED : HW_EVT_EJECT_FAILED, record.port().index(), record.shared_from_this(),
                  0);
}

std::shared_ptr<DeviceRecord> Hub::find(const _USB_DEVICE_T* usb) const {
    for (const auto& p : m_ports) {
        if (std::shared_ptr<DeviceRecord> record = p->find(usb)) {
            return record;
        }
    }
    return nullptr;
}

int Hub::command(_USB_DEVICE_T* usb, int kind) {
    const std::shared_ptr<DeviceRecord> record = find(usb);
    if (!record) {
        PLATFORM_LOG(3, "command %d for a device record the library no longer keeps", kind);
        return 0;
    }
    Port& p = record->port();
    switch (kind) {
        case HW_CMD_AFTER_PLUG_IN:
            PLATFORM_LOG(7, "device on port %d taken by the engine", p.index());
            return 1;
        case HW_CMD_CLOSE_DEVICE:
            // The callback reads the slot index: never change it under one.
            m_events.betweenEvents([&] { usb->slotIndex = -1; });
            p.close(record);
            PLATFORM_LOG(7, "device record of port %d closed", p.index());
            return 1;
        default:
            PLATFORM_LOG(3, "unknown command %d for port %d", kind, p.index());
            return 0;
    }
}

}  // namespace Tessor::taval
