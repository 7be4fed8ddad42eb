// The device.ini of a simulated device's folder as keys "Section.Key",
// written and read by the simulator's own description file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/taval/DescriptionFile.h"
#include "platform/taval/DeviceDescription.h"

namespace test_support {

using DeviceKeys = std::map<std::string, std::string>;

// Creates `folder` and writes `defaults`, with `overrides` replacing or
// adding keys, into its device.ini.
inline void writeDeviceIni(const std::string& folder, const DeviceKeys& defaults, const DeviceKeys& overrides = {}) {
    Tessor::taval::DescriptionFile file;
    for (const DeviceKeys* keys : {&defaults, &overrides}) {
        for (const auto& [key, value] : *keys) {
            file.set(key, value);
        }
    }
    std::filesystem::create_directories(folder);
    std::string error;
    EXPECT_TRUE(file.save(folder + "/" + Tessor::taval::DEVICE_FILE, &error)) << error;
}

// The keys of the device.ini in `folder`; to change some of them, write
// them back with the changes as overrides.
inline DeviceKeys readDeviceIni(const std::string& folder) {
    Tessor::taval::DescriptionFile file;
    std::string error;
    EXPECT_TRUE(file.load(folder + "/" + Tessor::taval::DEVICE_FILE, &error)) << error;
    return file.values();
}

// A fault rule "Key=Value" as its key in the [Faults] section; none for an
// empty rule.
inline DeviceKeys faultRule(const std::string& rule) {
    if (rule.empty()) {
        return {};
    }
    const size_t eq = rule.find('=');
    return {{"Faults." + rule.substr(0, eq), eq == std::string::npos ? "" : rule.substr(eq + 1)}};
}

}  // namespace test_support
