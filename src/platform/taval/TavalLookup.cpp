// Look-ups and text helpers of the device library.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/taval/Taval.h"
#include "platform/taval/Variant.h"

const CHIPSET_NAME_T* usbDeviceFindChipSet(const char* name) {
    const Tessor::taval::Variant* v = name == nullptr ? nullptr : Tessor::taval::findVariant(name);
    return v == nullptr ? nullptr : &v->id;
}

const _HW_VERSION_T* usbDeviceFindHwVersion(int chipSet) {
    const Tessor::taval::Variant* v = Tessor::taval::findVariantByChipSet(chipSet);
    return v == nullptr ? nullptr : &v->hardware;
}

const char* usbDeviceFindEventName(int kind) {
    static const char* const kNames[] = {
        "HW_EVT_NONE",         "HW_EVT_PLUG_IN",     "HW_EVT_REMOVED", "HW_EVT_EJECTED",
        "HW_EVT_EJECT_FAILED", "HW_EVT_LAYER_READY", "HW_EVT_ERROR",   "HW_CMD_AFTER_PLUG_IN",
        "HW_EVT_UNKNOWN",      "HW_CMD_CLOSE_DEVICE", "HW_EVT_CANCEL",
    };
    return kind >= 0 && kind < int(sizeof kNames / sizeof kNames[0]) ? kNames[kind] : "HW_EVT_UNKNOWN";
}

const char* usbDeviceGetErrorInfo(int code) {
    switch (code) {
        case 0:
            return "no error";
        case 1:
            return "device does not answer";
        case 2:
            return "transfer failed";
        case 3:
            return "device reset by the host";
        default:
            return "device layer error";
    }
}

const char* deviceLayerVersionInfo() { return "Taval simulated device layer 1.0"; }

const char* getWindowsErrorMsg() {
    thread_local char text[128];
    const int error = errno;
    std::snprintf(text, sizeof text, "%s (%d)", std::strerror(error), error);
    return text;
}

void hexInt2String(char* out, unsigned int value) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int i = 0; i < 4; ++i) {
        const unsigned byte = (value >> (8 * i)) & 0xFF;
        out[2 * i] = kDigits[byte >> 4];
        out[2 * i + 1] = kDigits[byte & 0xF];
    }
    out[8] = '\0';
}

int getNumberInExp(unsigned int n) {
    int e = 0;
    while (n > 1) {
        n >>= 1;
        ++e;
    }
    return e;
}
