#include "DevicePresets.h"

const std::map<std::string, std::map<std::string, std::string>>& devicePresets() {
    static const std::map<std::string, std::map<std::string, std::string>> presets = {
        // The default of the scan road: 64 Ki sectors.
        {"G1", {{"Device.Variant", "6716"}, {"Device.Chips", "1"}, {"Device.BlocksPerChip", "256"},
                {"Device.PagesPerBlock", "64"}, {"Device.SectorsPerPage", "4"}}},
        // Two planes on two chips: multi-plane full scans up to 4 units a step.
        {"G2", {{"Device.Variant", "6716"}, {"Device.Chips", "2"}, {"Device.MaxPlaneNum", "1"},
                {"Device.BlocksPerChip", "512"}, {"Device.PagesPerBlock", "128"}, {"Device.SectorsPerPage", "8"}}},
        // Small pages on the small-page scan firmware.
        {"G3", {{"Device.Variant", "6706"}, {"Device.Chips", "1"}, {"Device.BlocksPerChip", "1024"},
                {"Device.PagesPerBlock", "32"}, {"Device.SectorsPerPage", "1"}}},
        // Triple-level cells: 200 of 256 blocks, 192 of 256 pages.
        {"G4", {{"Device.Variant", "6716V31"}, {"Device.Chips", "1"}, {"Device.BlocksPerChip", "256"},
                {"Device.RealBlocksPerChip", "200"}, {"Device.PagesPerBlock", "256"},
                {"Device.RealPagesPerBlock", "192"}, {"Device.SectorsPerPage", "16"}}},
        // Triple-level cells with 94 of 128 pages.
        {"G4-94", {{"Device.Variant", "6716V31"}, {"Device.Chips", "1"}, {"Device.BlocksPerChip", "256"},
                   {"Device.RealBlocksPerChip", "200"}, {"Device.PagesPerBlock", "128"},
                   {"Device.RealPagesPerBlock", "94"}, {"Device.SectorsPerPage", "16"}}},
        // A block count that is no power of two, on three chips.
        {"G5", {{"Device.Variant", "6716"}, {"Device.Chips", "3"}, {"Device.BlocksPerChip", "1000"},
                {"Device.PagesPerBlock", "64"}, {"Device.SectorsPerPage", "4"}}},
    };
    return presets;
}
