#include "platform/taval/DeviceDescription.h"

#include <cstdlib>

#include "platform/orrin/ByteOrder.h"
#include "platform/taval/Taval.h"

namespace Tessor::taval {

namespace {

class Reader {
public:
    Reader(const DescriptionFile& file, std::string* error) : m_file(file), m_error(error) {}

    bool integer(const std::string& key, int64_t low, int64_t high, int64_t fallback, int64_t* out) {
        const std::string value = m_file.get(key, std::to_string(fallback));
        char* end = nullptr;
        const long long v = std::strtoll(value.c_str(), &end, 0);
        if (value.empty() || *end != '\0' || v < low || v > high) {
            return fail(key, value, "not a number from " + std::to_string(low) + " to " + std::to_string(high));
        }
        *out = v;
        return true;
    }

    bool flag(const std::string& key, bool* out) {
        int64_t v = 0;
        if (!integer(key, 0, 1, *out ? 1 : 0, &v)) {
            return false;
        }
        *out = v != 0;
        return true;
    }

    bool fail(const std::string& key, const std::string& value, const std::string& why) {
        *m_error = m_file.refusal(key, value, why);
        return false;
    }

private:
    const DescriptionFile& m_file;
    std::string* m_error;
};

bool isPowerOfTwo(int64_t v) { return v > 0 && (v & (v - 1)) == 0; }

}  // namespace

bool DeviceDescription::parse(const DescriptionFile& file, DeviceDescription* description, std::string* error) {
    Reader r(file, error);
    const std::string variant = file.get("Device.Variant");
    description->variant = findVariant(variant);
    if (description->variant == nullptr) {
        return r.fail("Device.Variant", variant, "unknown variant (6706, 6716, 6716V31, 6716V32, 6726, 6605)");
    }
    description->driveText = file.get("Device.Drive", "SIM");
    if (description->driveText.empty() || description->driveText.size() >= size_t(USB_DEVICE_DRIVE_TEXT_SIZE)) {
        return r.fail("Device.Drive", description->driveText, "must be 1 to 19 characters");
    }
    int64_t v = 0;
    Geometry& g = description->geometry;
    if (!r.integer("Device.Chips", 1, 4, 1, &v)) return false;
    g.chips = int(v);
    if (!r.integer("Device.BlocksPerChip", 1, 1 << 20, 256, &v)) return false;
    g.blocksPerChip = int(v);
    if (!r.integer("Device.PagesPerBlock", 1, 1024, 64, &v)) return false;
    g.pagesPerBlock = int(v);
    const std::string spp = file.get("Device.SectorsPerPage", "4");
    if (!r.integer("Device.SectorsPerPage", 1, 32, 4, &v)) return false;
    if (!isPowerOfTwo(v)) {
        return r.fail("Device.SectorsPerPage", spp, "must be a power of two");
    }
    g.sectorsPerPage = int(v);
    if (!r.integer("Device.RealBlocksPerChip", 0, g.blocksPerChip, 0, &v)) return false;
    g.realBlocksPerChip = int(v == g.blocksPerChip ? 0 : v);
    if (!r.integer("Device.RealPagesPerBlock", 0, g.pagesPerBlock, 0, &v)) return false;
    g.realPagesPerBlock = int(v == g.pagesPerBlock ? 0 : v);
    if (!r.integer("Device.MaxPlaneNum", 0, 7, 0, &v)) return false;
    description->maxPlaneNum = int(v);
    if (!r.integer("Device.MaxIntlvNum", 0, 3, 0, &v)) return false;
    description->maxIntlvNum = int(v);
    // Sector numbers travel as 32-bit signed values.
    if (g.totalSectors() > INT32_MAX) {
        return r.fail("Device.BlocksPerChip", std::to_string(g.blocksPerChip),
                      "flash of " + std::to_string(g.totalSectors()) + " sectors does not fit 31 bits");
    }
    if (!r.integer("Device.ChipsAnswering", 0, g.chips, g.chips, &v)) return false;
    description->chipsAnswering = int(v);
    const std::string id = file.get("Device.FlashId", "ECD35195");
    char* end = nullptr;
    const unsigned long long idValue = std::strtoull(id.c_str(), &end, 16);
    if (id.size() != 8 || *end != '\0') {
        return r.fail("Device.FlashId", id, "must be 8 hex digits, byte 0 first");
    }
    for (int i = 0; i < 4; ++i) {
        description->idBytes[size_t(i)] = uint8_t(idValue >> (24 - 8 * i));
    }
    if (description->idBytes[0] == 0xFF || description->idBytes[0] == 0) {
        return r.fail("Device.FlashId", id, "byte 0 must be a maker code (not 00 or FF)");
    }
    if (!r.flag("Device.DualChannel", &description->dualChannel)) return false;
    if (!r.integer("Device.LogicalSectors", 0, UINT32_MAX, g.totalSectors(), &v)) return false;
    description->logicalSectors = v;
    if (!r.integer("Device.LogicalFill", 0, 255, 0, &v)) return false;
    description->logicalFill = uint8_t(v);
    if (!r.flag("Device.StrictProgram", &description->strictProgram)) return false;
    const std::string timing = file.get("Device.Timing", "off");
    if (timing != "off" && timing != "realistic") {
        return r.fail("Device.Timing", timing, "must be off or realistic");
    }
    description->timing = timing == "realistic";
    description->firmware = file.get("Device.Firmware");
    if (!description->firmware.empty() && description->firmware.size() != 4) {
        return r.fail("Device.Firmware", description->firmware, "must be 4 characters, e.g. 3.00");
    }
    static const char* const kDeviceKeys[] = {"Variant",        "Drive",     "Chips",          "BlocksPerChip",
                                              "PagesPerBlock",  "SectorsPerPage", "ChipsAnswering", "FlashId",
                                              "DualChannel",    "LogicalSectors", "LogicalFill", "StrictProgram", "Timing",
                                              "RealBlocksPerChip", "RealPagesPerBlock", "MaxPlaneNum",
                                              "MaxIntlvNum", "Firmware"};
    for (const auto& [key, value] : file.values()) {
        bool known = key.rfind("Faults.", 0) == 0;
        for (const char* k : kDeviceKeys) {
            known = known || key == std::string("Device.") + k;
        }
        if (!known) {
            return r.fail(key, value, "unknown key");
        }
    }
    return description->faults.parse(file, g, error);
}

bool DeviceDescription::load(const std::string& folder, DeviceDescription* description, std::string* error) {
    DescriptionFile file;
    if (!file.load(folder + "/" + DEVICE_FILE, error) || !parse(file, description, error)) {
        return false;
    }
    description->folder = folder;
    return true;
}

std::string DeviceDescription::flashIdString() const {
    char text[9];
    hexInt2String(text, fieldAt<Le32>(idBytes.data()));
    std::string s = text[0] == '0' ? text + 1 : text;
    if (chipsAnswering == 2) {
        s += "DD";
    } else if (chipsAnswering == 4) {
        s += "QD";
    }
    return s;
}

}  // namespace Tessor::taval
