#include "PortCommands.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/taval/DeviceDescription.h"
#include "platform/taval/PortsFolder.h"
#include "platform/taval/PrintableText.h"
#include "platform/taval/VirtualDevice.h"

namespace {

namespace fs = std::filesystem;
using Tessor::taval::PortsFolder;
using Tessor::taval::printableText;

int fail(const std::string& message) {
    std::fprintf(stderr, "usbsim: %s\n", message.c_str());
    return 1;
}

// Port number of `text`; -1 when `text` is no port.
int portNumber(const std::string& text) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    return text.empty() || *end != '\0' || n < 0 || n > 63 ? -1 : int(n);
}

std::string portEntry(const std::string& ports, int port) { return ports + "/" + PortsFolder::entryName(port); }

// Ports of the tool watching the folder; 0 when no tool says.
int runningPorts(const std::string& ports) {
    std::ifstream in(ports + "/" + PortsFolder::kPortCountFile);
    int count = 0;
    return in >> count ? count : 0;
}

// The port of the folder whose entry leads to `device`; -1 when none does.
int portHolding(const std::string& ports, const fs::path& device) {
    for (int port = 0; port < 64; ++port) {
        std::error_code ec;
        if (fs::equivalent(portEntry(ports, port), device, ec)) {
            return port;
        }
    }
    return -1;
}

// The port of the folder whose device has the drive text `drive`; -1 when none has.
int portWithDrive(const std::string& ports, const std::string& drive) {
    for (int port = 0; port < 64; ++port) {
        Tessor::taval::DeviceDescription description;
        std::string error;
        if (Tessor::taval::DeviceDescription::load(portEntry(ports, port), &description, &error) &&
            description.driveText == drive) {
            return port;
        }
    }
    return -1;
}

}  // namespace

int plugDevice(const std::vector<std::string>& args) {
    if (args.size() != 3) {
        return fail("plug needs a ports folder, a port number and a device folder");
    }
    const std::string& ports = args[0];
    const std::string& folder = args[2];
    const int port = portNumber(args[1]);
    if (port < 0) {
        return fail("'" + printableText(args[1]) + "' is not a port number 0..63");
    }
    std::error_code ec;
    if (!fs::is_directory(ports, ec)) {
        return fail(printableText(ports) + ": not a ports folder");
    }
    const int count = runningPorts(ports);
    if (count > 0 && port >= count) {
        return fail("the tool on " + printableText(ports) + " has ports 0.." + std::to_string(count - 1) +
                    "; nothing plugged");
    }
    std::string error;
    std::shared_ptr<Tessor::taval::VirtualDevice> device = Tessor::taval::VirtualDevice::openForExport(folder, &error);
    if (!device) {
        return fail(error + "; nothing plugged");
    }
    const int holding = portHolding(ports, folder);
    if (holding >= 0) {
        return fail(printableText(folder) + " is plugged into port " + std::to_string(holding) + " already");
    }
    if (device->claimed()) {
        return fail(printableText(folder) + " is plugged into another running tool; nothing plugged");
    }
    // Two drives of one name: a copy meant for one would land on the other.
    const std::string& drive = device->description().driveText;
    const int sameDrive = portWithDrive(ports, drive);
    if (sameDrive >= 0) {
        return fail("the device in port " + std::to_string(sameDrive) + " has the drive text '" +
                    printableText(drive) + "' already; give this one its own (create --drive); nothing plugged");
    }
    const std::string entry = portEntry(ports, port);
    if (fs::symlink_status(entry, ec).type() != fs::file_type::not_found) {
        return fail(printableText(entry) + ": the port holds a device; unplug it first");
    }
    fs::create_directory_symlink(fs::absolute(folder), entry, ec);
    if (ec) {
        return fail(printableText(entry) + ": " + ec.message());
    }
    std::printf("plugged %s into %s\n", printableText(folder).c_str(), printableText(entry).c_str());
    return 0;
}

int unplugDevice(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return fail("unplug needs a ports folder and a port number");
    }
    const int port = portNumber(args[1]);
    if (port < 0) {
        return fail("'" + printableText(args[1]) + "' is not a port number 0..63");
    }
    const std::string entry = portEntry(args[0], port);
    std::error_code ec;
    if (!fs::remove(entry, ec) || ec) {
        return fail(printableText(entry) + ": no device plugged here");
    }
    std::printf("unplugged %s\n", printableText(entry).c_str());
    return 0;
}
