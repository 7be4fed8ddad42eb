// Facts every scan engine checks: which firmware the device runs, and how
// many units one vendor scan read can report.
#pragma once

#include <algorithm>

#include "schema/device/UsbDevice.h"
#include "schema/device/VersionInfo.h"
#include "usb/scan/ScanTable.h"

namespace Tessor::usb {

// Result bits one vendor scan read carries back.
constexpr int kScanResultBits = schema::UsbDevice::VENDOR_READ_LENGTH * 8;
// Version value of the small-page scan firmware, for which the host sends the sample.
constexpr int kSmallPageFirmware = 0xF0;

inline bool isSmallPageFirmware(schema::UsbDevice* device)
{
    Sptr<schema::VersionInfo> version = device->getVersion();
    return version && version->getVersionNumber() == kSmallPageFirmware;
}

// Units a command may repeat so that each of their sectors has its bit.
inline int maxRepeat(const ScanPlaneLayout& layout, int sectorsPerPage)
{
    return std::max(1, kScanResultBits / (layout.factor() * std::max(sectorsPerPage, 1)));
}

}  // namespace Tessor::usb
