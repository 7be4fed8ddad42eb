// The flash parts the production-settings page offers: one entry for each
// section of the flash-chip table with a usable part number, carrying that
// section's own capacity.
#pragma once

#include <QString>
#include <string>
#include <vector>

namespace Tessor::page {

struct FlashPart {
    QString partNumber;
    int capacityMb;
    bool operator==(const FlashPart&) const = default;
};

// Reads every section of the table in file order; a missing or empty table
// gives no parts.
std::vector<FlashPart> readFlashParts(const std::string& fileName);

}  // namespace Tessor::page
