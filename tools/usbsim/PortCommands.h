// usbsim commands on the ports folder of a running tool: plug, unplug.
#pragma once

#include <string>
#include <vector>

// Each returns the process exit code and writes its errors to stderr.
int plugDevice(const std::vector<std::string>& args);
int unplugDevice(const std::vector<std::string>& args);
