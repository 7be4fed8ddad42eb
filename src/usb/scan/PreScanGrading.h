// How the pre-scan grades its modes from their error and difference counts:
// the fewest sectors that changed between two readings wins, the error count
// rules out implausible modes and breaks ties.
#pragma once

#include <vector>

namespace Tessor::usb {

struct PreScanCounts {
    int errors = 0;       // sectors failed in either reading
    int differences = 0;  // sectors whose readings differ
};

class PreScanGrading {
public:
    static constexpr int NO_CHOICE = -1;
    static constexpr int TLC_NO_CHOICE = 0xFF;

    // Index of the winning mode, or NO_CHOICE when every mode failed in every
    // sector of both readings. `reference` is half the sampled sectors.
    static int chooseMode(const std::vector<PreScanCounts>& modes, int reference, int sectorsPerPage);
    // Triple-level-cell modes, `keys` their pre-scan mode keys in order;
    // `sampled` the sectors of one reading. TLC_NO_CHOICE when none is
    // below its bound.
    static int chooseTlcMode(const std::vector<PreScanCounts>& modes, const std::vector<int>& keys, int sampled,
                             int sectorsPerBlock);
    // 0 to 5 by how far the difference count lies above a thousandth of the reference.
    static int grade(int differences, double threshold);
};

}  // namespace Tessor::usb
