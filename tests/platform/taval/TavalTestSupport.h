// Device folders and a recording engine side for the device
// library tests.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "platform/orrin/Orrin.h"
#include "platform/taval/Hub.h"
#include "platform/taval/Taval.h"
#include "support/DeviceIni.h"
#include "support/TempFolder.h"

namespace taval_test {

using test_support::TempFolder;

using Keys = test_support::DeviceKeys;

// Writes a device folder; keys are "Section.Key" and override the defaults.
inline std::string makeDevice(const std::string& parent, const std::string& name, const Keys& keys = {}) {
    const std::string folder = parent + "/" + name;
    test_support::writeDeviceIni(folder,
                                 {{"Device.Variant", "6716"}, {"Device.Chips", "2"}, {"Device.BlocksPerChip", "64"},
                                  {"Device.PagesPerBlock", "16"}, {"Device.SectorsPerPage", "4"},
                                  {"Device.FlashId", "ECD35195"}, {"Device.Drive", "SIM" + name}},
                                 keys);
    return folder;
}

// The engine side: starts the library and records every event it hands over.
class Engine {
public:
    explicit Engine(int ports) {
        init.context = this;
        init.deviceCount = ports;
        init.callback = &Engine::onEvent;
        result = initDevices(&mgr, &init);
    }
    ~Engine() { destoryDevices(&mgr); }

    Tessor::taval::Hub& hub() { return *Tessor::taval::Hub::of(&mgr); }
    _USB_DEVICE_T* record(int port) { return hub().port(port)->record(); }

    // Kinds delivered so far, after waiting for every event posted.
    std::vector<int> kinds() {
        hub().waitEventsDelivered();
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<int> out;
        for (const DEVICE_EVENT_T& e : events) {
            out.push_back(e.kind);
        }
        return out;
    }
    std::vector<DEVICE_EVENT_T> delivered() {
        hub().waitEventsDelivered();
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }

    static int onEvent(DEVICE_INIT_T* init, DEVICE_EVENT_T* event) {
        auto* self = static_cast<Engine*>(init->context);
        {
            std::lock_guard<std::mutex> lock(self->mutex);
            self->events.push_back(*event);
            // What the engine reads of the record while it takes the event.
            self->slots.push_back(event->device == nullptr ? -2 : event->device->slotIndex);
        }
        shared_free(event);
        return 0;
    }

    DEVICE_MGR_T mgr;
    DEVICE_INIT_T init;
    int result = -1;
    std::mutex mutex;
    std::vector<DEVICE_EVENT_T> events;
    std::vector<int> slots;
};

}  // namespace taval_test
