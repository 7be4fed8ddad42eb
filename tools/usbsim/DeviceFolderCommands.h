// usbsim commands on one device folder: create, ini-section, export.
#pragma once

#include <string>
#include <vector>

// Each returns the process exit code and writes its errors to stderr.
int createDevice(const std::vector<std::string>& args);
int printIniSection(const std::vector<std::string>& args);
int exportDevice(const std::vector<std::string>& args);
