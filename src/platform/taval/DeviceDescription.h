// Description of one simulated device, read from "device.ini" in its
// folder: identity, geometry, options and fault rules.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/taval/DescriptionFile.h"
#include "platform/taval/FaultRules.h"
#include "platform/taval/Geometry.h"
#include "platform/taval/Variant.h"

namespace Tessor::taval {

constexpr const char* DEVICE_FILE = "device.ini";
constexpr const char* FLASH_FILE = "flash.bin";
constexpr const char* LOGICAL_FILE = "logical.bin";
constexpr const char* PAGES_FILE = "pages.bin";
// Where a copy onto the device is read back to be checked; a station stopped
// amid the check leaves it, and the device's next opening clears it.
constexpr const char* READ_BACK_FOLDER = "copy-readback";

struct DeviceDescription {
    std::string folder;
    const Variant* variant = nullptr;
    std::string driveText = "SIM";
    int chipsAnswering = 1;
    std::array<uint8_t, 4> idBytes{};
    bool dualChannel = false;
    Geometry geometry;
    int64_t logicalSectors = 0;
    uint8_t logicalFill = 0;  // what unwritten logical sectors read as
    // Plane and interleave counts minus 1, as the flash-chip table gives them.
    int maxPlaneNum = 0;
    int maxIntlvNum = 0;
    bool strictProgram = false;  // refuse reprogramming a sector with other data
    bool timing = false;         // take the time a real device would
    // Version block bytes 4..7 the device answers with; empty: the variant's.
    std::string firmware;
    FaultRules faults;

    // Reads and checks the folder's description; false with `error` naming
    // the file, key and value that cannot hold.
    [[nodiscard]] static bool load(const std::string& folder, DeviceDescription* description, std::string* error);
    // Checks a description without a folder behind it.
    [[nodiscard]] static bool parse(const DescriptionFile& file, DeviceDescription* description, std::string* error);

    // Flash id section name as the flash-chip table knows it.
    std::string flashIdString() const;
};

}  // namespace Tessor::taval
