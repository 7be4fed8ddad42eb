#include "PortCommands.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/taval/DeviceDescription.h"
#include "platform/taval/PortsFolder.h"

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "usbsim: %s\n", message.c_str());
    return 1;
}

// Entry of port `text` in the ports folder; empty when `text` is no port.
std::string portEntry(const std::string& ports, const std::string& text) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < 0 || n > 63) {
        return "";
    }
    return ports + "/" + Tessor::taval::PortsFolder::entryName(int(n));
}

}  // namespace

int plugDevice(const std::vector<std::string>& args) {
    if (args.size() != 3) {
        return fail("plug needs a ports folder, a port number and a device folder");
    }
    const std::string entry = portEntry(args[0], args[1]);
    if (entry.empty()) {
        return fail("'" + args[1] + "' is not a port number 0..63");
    }
    Tessor::taval::DeviceDescription description;
    std::string error;
    if (!Tessor::taval::DeviceDescription::load(args[2], &description, &error)) {
        return fail(error + "; nothing plugged");
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(args[0], ec)) {
        return fail(args[0] + ": not a ports folder");
    }
    if (fs::symlink_status(entry, ec).type() != fs::file_type::not_found) {
        return fail(entry + ": the port holds a device; unplug it first");
    }
    fs::create_directory_symlink(fs::absolute(args[2]), entry, ec);
    if (ec) {
        return fail(entry + ": " + ec.message());
    }
    std::printf("plugged %s into %s\n", args[2].c_str(), entry.c_str());
    return 0;
}

int unplugDevice(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return fail("unplug needs a ports folder and a port number");
    }
    const std::string entry = portEntry(args[0], args[1]);
    if (entry.empty()) {
        return fail("'" + args[1] + "' is not a port number 0..63");
    }
    std::error_code ec;
    if (!std::filesystem::remove(entry, ec) || ec) {
        return fail(entry + ": no device plugged here");
    }
    std::printf("unplugged %s\n", entry.c_str());
    return 0;
}
