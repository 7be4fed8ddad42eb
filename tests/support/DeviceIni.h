// The device.ini of a simulated device's folder, written from keys
// "Section.Key".
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace test_support {

using DeviceKeys = std::map<std::string, std::string>;

// Creates `folder` and writes `defaults`, with `overrides` replacing or
// adding keys, section by section into its device.ini.
inline void writeDeviceIni(const std::string& folder, DeviceKeys defaults, const DeviceKeys& overrides = {}) {
    for (const auto& [k, v] : overrides) {
        defaults[k] = v;
    }
    std::filesystem::create_directories(folder);
    std::ofstream out(folder + "/device.ini");
    std::string section;
    for (const auto& [k, v] : defaults) {
        const std::string s = k.substr(0, k.find('.'));
        if (s != section) {
            out << '[' << s << "]\n";
            section = s;
        }
        out << k.substr(k.find('.') + 1) << '=' << v << '\n';
    }
}

}  // namespace test_support
