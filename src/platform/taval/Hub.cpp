#include "platform/taval/Hub.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "schema/base/Log.h"

namespace Tessor::taval {

Hub::Hub(DEVICE_INIT_T* init) : m_events(init, [this] {
    if (m_portsFolder) {
        m_portsFolder->poll();
    }
}) {
    for (int i = 0; i < init->deviceCount; ++i) {
        m_ports.push_back(std::make_unique<Port>(*this, i));
    }
    const char* folder = std::getenv(PortsFolder::kEnvironment);
    if (folder != nullptr && *folder != '\0') {
        m_portsFolder = std::make_unique<PortsFolder>(*this, folder);
        CPLOG(7, "watching ports folder %s", folder);
    }
}

Hub::~Hub() { stop(); }

Hub* Hub::of(DEVICE_MGR_T* mgr) { return mgr == nullptr ? nullptr : static_cast<Hub*>(mgr->library); }

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
            *error = folder + ": plugged into port " + std::to_string(other->index()) + " already";
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
    m_events.betweenEvents([&] { p->attach(std::move(device), canonical); });
    m_events.post(HW_EVT_PLUG_IN, index, p->record(), 0);
    return 0;
}

int Hub::unplug(int index) {
    std::lock_guard<std::mutex> lock(m_plugMutex);
    Port* p = port(index);
    if (p == nullptr || !p->release()) {
        CPLOG(3, "no device to pull out of port %d", index);
        return -1;
    }
    m_events.post(HW_EVT_REMOVED, index, p->record(), 0);
    return 0;
}

int Hub::injectError(int index, int code) {
    Port* p = port(index);
    if (p == nullptr || !p->device()) {
        CPLOG(3, "no device on port %d to report error %d for", index, code);
        return -1;
    }
    m_events.post(HW_EVT_ERROR, index, p->record(), code);
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

void Hub::afterOperation(Port& p, VirtualDevice& device) {
    const int code = device.takeErrorRequest();
    if (code >= 0) {
        m_events.post(HW_EVT_ERROR, p.index(), p.record(), code);
    }
    const int cancel = device.takeCancelRequest();
    if (cancel >= 0) {
        CancelHook hook;
        {
            std::lock_guard<std::mutex> lock(m_hookMutex);
            hook = m_cancelHook;
        }
        CPLOG(7, "operator cancels device on port %d with 0x%X", p.index(), cancel);
        if (hook) {
            hook(p.index(), cancel);
        }
    }
    if (device.takeRemovalRequest() && p.device().get() == &device) {
        unplug(p.index());
    }
}

void Hub::reportEject(Port& p, bool ejected) {
    m_events.post(ejected ? HW_EVT_EJECTED : HW_EVT_EJECT_FAILED, p.index(), p.record(), 0);
}

int Hub::command(_USB_DEVICE_T* record, int kind) {
    Port* p = Port::of(record);
    if (p == nullptr) {
        CPLOG(3, "command %d without a device record", kind);
        return 0;
    }
    switch (kind) {
        case HW_CMD_AFTER_PLUG_IN:
            CPLOG(7, "device on port %d taken by the engine", p->index());
            return 1;
        case HW_CMD_CLOSE_DEVICE:
            m_events.betweenEvents([p] { p->close(); });
            CPLOG(7, "device on port %d closed", p->index());
            return 1;
        default:
            CPLOG(3, "unknown command %d for port %d", kind, p->index());
            return 0;
    }
}

}  // namespace Tessor::taval
