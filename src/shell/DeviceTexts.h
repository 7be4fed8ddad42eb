// The texts a port shows: its button, its status lines and the device error
// table. Composed as narrow (ANSI) texts through a look-up of the locale
// texts, so the window and the console station show the same lines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "page/PortStates.h"
#include "schema/device/ConfigInfo.h"

namespace Tessor::shell {

// The locale text of an English key; the console shows the key itself.
using TextLookup = std::function<std::string(const char* key)>;
std::string englishText(const char* key);

// The text of the device error table for `code`, null when it has none.
const char* deviceErrorText(int code);

struct ButtonView {
    std::string text;
    bool enabled;
};
// The port-number button in `state`; `name` is the device's name.
ButtonView buttonView(int state, bool hasDevice, const std::string& name, int index, const TextLookup& look);

std::string newDeviceLine(const std::string& name, int index, const TextLookup& look);
// A ready device waiting for the operator; `capacity` is the " n(MB)" of a
// formatted device, or empty.
std::string readyLine(const std::string& name, const std::string& flashId, bool formatted, const std::string& capacity,
                      const TextLookup& look);
// A failed device; the cause the device gave, if any, follows the code.
std::string statusLine(int code, const TextLookup& look, const std::string& cause = std::string());
std::string cancelledLine(const TextLookup& look);
// A build of `realSectors`, configured for `configuredSectors`, that took
// `elapsedMs`, with the scan mode the device chose.
std::string buildOkLine(int realSectors, int configuredSectors, uint32_t elapsedMs, int scanMode,
                        const TextLookup& look);
// The partitions as they come out on a device of `totalMb`.
std::string partitionText(schema::ConfigInfo& settings, int totalMb, const TextLookup& look);

// printf into a string.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace Tessor::shell
