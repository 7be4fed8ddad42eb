// A configuration table put on a simulated device's flash by the tool's own
// table writer, so the device boots from it as from a produced disk: its
// variant's layout, the logical units asked for, the build information
// beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TableLun {
    uint32_t sectors = 0;
    bool hidden = false;
    bool writeProtected = false;
};

// "SECTORS[:hidden][:protected]"; false with `error` set.
bool parseTableLun(const std::string& text, TableLun* lun, std::string* error);

// Writes the table onto the device of `folder`, which no tool may hold. No
// units asked for: one unit over the whole logical disk. Needs the
// process's configuration; sets its chip set to the device's variant.
bool writeDeviceTable(const std::string& folder, const std::vector<TableLun>& luns, std::string* error);
