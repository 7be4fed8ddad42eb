// Ready-made device descriptions for tests and demonstrations: the scan
// road's geometries G1 to G5.
#pragma once

#include <map>
#include <string>

// Description keys ("Section.Key") of each preset, by preset name.
const std::map<std::string, std::map<std::string, std::string>>& devicePresets();
