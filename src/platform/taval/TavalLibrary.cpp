// Life cycle of the device library and its window-side calls.
#include <cstring>

#include "platform/taval/Hub.h"
#include "platform/taval/Taval.h"
#include "platform/orrin/PlatformLog.h"

namespace {

constexpr int kMaxPorts = 64;

int commandEntry(DEVICE_INIT_T* init, _USB_DEVICE_T* device, int kind) {
    Tessor::taval::Hub* hub = Tessor::taval::Hub::of(init);
    if (hub == nullptr || device == nullptr) {
        PLATFORM_LOG(3, "command %d without a running library or a device record", kind);
        return 0;
    }
    return hub->command(device, kind);
}

}  // namespace

int initDevices(DEVICE_MGR_T* mgr, DEVICE_INIT_T* init) {
    if (mgr == nullptr || init == nullptr || init->callback == nullptr) {
        PLATFORM_LOG(3, "device layer needs a manager record, a start record and a callback");
        return -1;
    }
    if (init->deviceCount < 1 || init->deviceCount > kMaxPorts) {
        PLATFORM_LOG(3, "device layer cannot serve %d ports", init->deviceCount);
        return -2;
    }
    if (mgr->library != nullptr) {
        PLATFORM_LOG(3, "device layer runs already");
        return -3;
    }
    PLATFORM_LOG(7, "device layer for %.*s: %d ports, log %.*s", DEVICE_INIT_NAME_SIZE, init->displayName,
          init->deviceCount, DEVICE_INIT_LOG_NAME_SIZE, init->logFileName);
    auto* hub = new Tessor::taval::Hub(init);
    if (!hub->watchPortsFolder()) {
        delete hub;
        return -4;
    }
    init->commandEntry = commandEntry;
    mgr->library = hub;
    hub->start();
    return 0;
}

void destoryDevices(DEVICE_MGR_T* mgr) {
    Tessor::taval::Hub* hub = Tessor::taval::Hub::of(mgr);
    if (hub == nullptr) {
        return;
    }
    hub->stop();
    delete hub;
    mgr->library = nullptr;
}

// Device-change messages do not exist here; devices come through the hub.
int deviceRegister(void*) { return 1; }
int deviceUnRegister() { return 1; }
int deviceChanged(void*, DEVICE_MGR_T*, unsigned long, long) { return 1; }
int deviceAdd(DEVICE_MGR_T*, unsigned long) { return 1; }
int deviceDelete(DEVICE_MGR_T*, unsigned long) { return 1; }
int setBindingState(int) { return 1; }

int scsiPassThroughIn(void* diskHandle, const unsigned char cdb[16], unsigned char* buffer, int length,
                      int timeoutSeconds, int* scsiStatus) {
    auto* record = static_cast<Tessor::taval::DeviceRecord*>(diskHandle);
    if (record == nullptr || !record->device()->present() || cdb == nullptr || buffer == nullptr || length < 0 ||
        scsiStatus == nullptr) {
        PLATFORM_LOG(3, "pass-through to a missing device or without a buffer (timeout %d s)", timeoutSeconds);
        return 0;
    }
    *scsiStatus = record->device()->vendorCommand(cdb, buffer, length);
    record->port().hub().afterOperation(*record);
    return 1;
}
