#include "DeviceFolderCommands.h"

#include "DevicePresets.h"
#include "DeviceTable.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <system_error>

#include "platform/taval/DescriptionFile.h"
#include "platform/taval/PortsFolder.h"
#include "platform/taval/DeviceDescription.h"
#include "platform/taval/PrintableText.h"
#include "platform/taval/VirtualDevice.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"

namespace {

using Tessor::taval::DescriptionFile;
using Tessor::taval::DeviceDescription;
using Tessor::taval::VirtualDevice;
using Tessor::taval::printableText;

int fail(const std::string& message) {
    std::fprintf(stderr, "usbsim: %s\n", message.c_str());
    return 1;
}

// Options with a value, and the description key each sets.
const std::map<std::string, std::string> kValueOptions = {
    {"--variant", "Device.Variant"},      {"--chips", "Device.Chips"},
    {"--answering", "Device.ChipsAnswering"}, {"--id", "Device.FlashId"},
    {"--blocks", "Device.BlocksPerChip"}, {"--pages", "Device.PagesPerBlock"},
    {"--sectors", "Device.SectorsPerPage"}, {"--logical", "Device.LogicalSectors"},
    {"--fill", "Device.LogicalFill"},
    {"--drive", "Device.Drive"},          {"--timing", "Device.Timing"},
    {"--seed", "Faults.Seed"},           {"--real-blocks", "Device.RealBlocksPerChip"},
    {"--real-pages", "Device.RealPagesPerBlock"}, {"--planes", "Device.MaxPlaneNum"},
    {"--interleaves", "Device.MaxIntlvNum"}, {"--firmware", "Device.Firmware"},
};
const std::map<std::string, std::string> kFlagOptions = {
    {"--dual", "Device.DualChannel"},
    {"--strict", "Device.StrictProgram"},
};

// The description without fault rules and timing model, so that writing
// the table meets neither.
DescriptionFile plainOf(const DescriptionFile& file) {
    DescriptionFile plain;
    for (const auto& [key, value] : file.values()) {
        if (key.rfind("Faults.", 0) != 0 && key != "Device.Timing") {
            plain.set(key, value);
        }
    }
    return plain;
}

// The table writer reads a station configuration, which this tool makes
// empty: errors alone are logged (on standard error), the saved copy of the
// table goes into the device folder, and no ports folder of a running tool
// is watched.
bool writeTable(const std::string& folder, const std::vector<TableLun>& luns, std::string* error) {
    Tessor::schema::UsbConfiguration::instance("");
    Tessor::schema::UsbConfiguration::instance()->setLogFilename(folder + "/usbsim.log");
    Tessor::schema::setLogLevel(Tessor::schema::LOG_ERR);
    ::unsetenv(Tessor::taval::PortsFolder::kEnvironment);
    return writeDeviceTable(folder, luns, error);
}

// Leaves no part of a device that could not be made whole.
void removeDevice(const std::string& folder) {
    std::error_code ec;
    for (const char* file : {Tessor::taval::DEVICE_FILE, Tessor::taval::FLASH_FILE, Tessor::taval::LOGICAL_FILE,
                             Tessor::taval::PAGES_FILE}) {
        std::filesystem::remove(folder + "/" + file, ec);
    }
}

}  // namespace

int createDevice(const std::vector<std::string>& args) {
    if (args.empty()) {
        return fail("create needs a folder");
    }
    const std::string folder = args[0];
    DescriptionFile file;
    file.set("Device.Variant", "6716");
    bool table = false;
    std::vector<TableLun> luns;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string error;
        if (a == "--table") {
            table = true;
        } else if (a == "--lun" && i + 1 < args.size()) {
            TableLun lun;
            if (!parseTableLun(args[++i], &lun, &error)) {
                return fail(error);
            }
            luns.push_back(lun);
            table = true;
        } else if (a == "--preset" && i + 1 < args.size()) {
            const auto preset = devicePresets().find(args[++i]);
            if (preset == devicePresets().end()) {
                return fail("unknown preset '" + printableText(args[i]) + "'");
            }
            for (const auto& [key, value] : preset->second) {
                file.set(key, value);
            }
        } else if (kFlagOptions.count(a) != 0) {
            file.set(kFlagOptions.at(a), "1");
        } else if (kValueOptions.count(a) != 0 && i + 1 < args.size()) {
            file.set(kValueOptions.at(a), args[++i]);
        } else if (a == "--fault" && i + 1 < args.size()) {
            const std::string rule = args[++i];
            const size_t eq = rule.find('=');
            if (eq == std::string::npos || eq == 0) {
                return fail("fault rule '" + printableText(rule) + "' is not KEY=VALUE");
            }
            file.set("Faults." + rule.substr(0, eq), rule.substr(eq + 1));
        } else {
            return fail("unknown option or missing value: '" + printableText(a) + "'");
        }
    }
    namespace fs = std::filesystem;
    const std::string description = folder + "/" + Tessor::taval::DEVICE_FILE;
    std::error_code ec;
    if (fs::exists(description, ec)) {
        return fail(printableText(description) + " exists already; a device is never overwritten");
    }
    fs::create_directories(folder, ec);
    std::string error;
    if (ec || !(table ? plainOf(file) : file).save(description, &error)) {
        return fail(ec ? printableText(folder) + ": " + ec.message() : error);
    }
    if (!VirtualDevice::open(folder, &error)) {
        fs::remove(description, ec);
        return fail(error);
    }
    if (table) {
        if (!writeTable(folder, luns, &error) || !file.save(description, &error)) {
            removeDevice(folder);
            return fail(error);
        }
        std::printf("created %s with a configuration table\n", printableText(folder).c_str());
        return 0;
    }
    std::printf("created %s\n", printableText(folder).c_str());
    return 0;
}

int printIniSection(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return fail("ini-section needs a device folder");
    }
    DeviceDescription description;
    std::string error;
    if (!DeviceDescription::load(args[0], &description, &error)) {
        return fail(error);
    }
    const Tessor::taval::Geometry& g = description.geometry;
    // Keys not printed read as 0.
    // Triple-level-cell parts carry their real counts; the tool rounds them up.
    std::printf("[%s]\n", description.flashIdString().c_str());
    std::printf("PartNumber=%sSIM-%s-%dx%d\n", g.isTlc() ? "(TLC)" : "", description.variant->id.name, g.chips,
                g.blocksPerChip);
    std::printf("DualDie=%d\n", description.chipsAnswering >= 2 ? 1 : 0);
    std::printf("BlockPerChip=%d\n", g.realBlocksPerChip != 0 ? g.realBlocksPerChip : g.blocksPerChip);
    std::printf("PagePerBlock=%d\n", g.realPagesPerBlock != 0 ? g.realPagesPerBlock : g.pagesPerBlock);
    std::printf("SectorPerPage=%d\n", g.sectorsPerPage);
    std::printf("maxPlaneNum=%d\n", description.maxPlaneNum);
    std::printf("maxIntlvNum=%d\n", description.maxIntlvNum);
    return 0;
}

int exportDevice(const std::vector<std::string>& args) {
    const bool force = args.size() == 3 && args[2] == "--force";
    if (args.size() != 2 && !force) {
        return fail("export needs a device folder and an output folder (and --force to copy a plugged device)");
    }
    std::string error;
    std::shared_ptr<VirtualDevice> device = VirtualDevice::openForExport(args[0], &error);
    if (!device) {
        return fail(error);
    }
    if (device->claimed() && !force) {
        return fail(printableText(args[0]) + " is plugged into a running tool; pull it out first (or export --force)");
    }
    std::error_code ec;
    std::filesystem::create_directories(args[1], ec);
    const std::string logical = args[1] + "/logical.img";
    const std::string flash = args[1] + "/flash.raw";
    std::vector<VirtualDevice::UnitCopy> units;
    if (ec || !device->exportLogical(logical, &error) || !device->exportFlash(flash, &error) ||
        !device->exportUnits(args[1], &units, &error)) {
        return fail(ec ? printableText(args[1]) + ": " + ec.message() : error);
    }
    std::printf("%s\n%s\n", printableText(logical).c_str(), printableText(flash).c_str());
    for (const VirtualDevice::UnitCopy& unit : units) {
        std::printf("%s\n", printableText(unit.path).c_str());
    }
    return 0;
}
