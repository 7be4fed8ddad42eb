// The capacity of a device and the partitions of a start fitted to it.
#pragma once

#include <optional>

#include "schema/device/ConfigInfo.h"
#include "schema/device/UsbDevice.h"

namespace Tessor::shell {

// Sectors of the device: the flash part's real geometry for triple-level
// cell parts, the device's disk geometry otherwise; none before the flash
// is identified.
[[nodiscard]] std::optional<int> deviceSectors(const schema::UsbDevice& device);

// Sizes the partitions of "Rational" settings to `capacity` sectors: a
// CD-ROM partition keeps its size, the others share the rest (a first
// CD-ROM partition is taken off first). False, with the settings as they
// were, when a CD-ROM partition does not fit.
[[nodiscard]] bool fitPartitions(schema::ConfigInfo& settings, int capacity);

// What a start hands a device of `capacity` sectors, whichever front end
// starts it: `settings` take the capacity as their real capacity and their
// partitions are sized to it, then fitted to it. Empty when a CD-ROM
// partition does not fit.
Sptr<schema::ConfigInfo> fittedRunSettings(schema::ConfigInfo& settings, int capacity);

}  // namespace Tessor::shell
