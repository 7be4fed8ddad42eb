#include "usb/scan/PreScanGrading.h"

#include <algorithm>
#include <utility>

namespace Tessor::usb {

int PreScanGrading::grade(int differences, double threshold)
{
    static constexpr double kSteps[] = {0, 30, 80, 160, 260};
    int g = 0;
    while (g < 5 && differences > threshold + kSteps[g]) {
        ++g;
    }
    return g;
}

int PreScanGrading::chooseMode(const std::vector<PreScanCounts>& modes, int reference, int sectorsPerPage)
{
    struct Position {
        int errors;
        int differences;
        int index;
    };
    const int n = static_cast<int>(modes.size());
    if (n == 0) {
        return NO_CHOICE;
    }
    std::vector<Position> sorted;
    for (int i = 0; i < n; ++i) {
        sorted.push_back({modes[i].errors, modes[i].differences, i});
    }
    // All blocks and all pages measure more pages than any other mode.
    sorted[0].differences /= sectorsPerPage < 16 ? 2 : 3;
    // Each position keeps its mode index through the exchange sort, so equal
    // error counts never swap which mode is credited.
    for (int i = 0; i < n; ++i) {
        for (int j = i; j < n; ++j) {
            if (sorted[j].differences < sorted[i].differences) {
                std::swap(sorted[i], sorted[j]);
            }
        }
    }
    bool allFailed = true;
    for (int i = 0; i < n; ++i) {
        allFailed = allFailed && sorted[i].differences == modes[i].differences && sorted[i].errors == 2 * reference;
    }
    if (allFailed) {
        return NO_CHOICE;
    }
    const double threshold = reference * 0.001;
    const int cap = reference * 198 / 100;
    int i = 0;
    while (i < n && sorted[i].errors > cap) {
        ++i;
    }
    if (i == n) {
        return 0;
    }
    const auto gradeAt = [&](int p) { return p < n ? grade(sorted[p].differences, threshold) : 0; };
    int best = i;
    while (i < n - 1 && gradeAt(i + 1) == gradeAt(best)) {
        if (sorted[i + 1].errors <= sorted[best].errors) {
            best = i + 1;
        }
        ++i;
    }
    return sorted[best].index;
}

int PreScanGrading::chooseTlcMode(const std::vector<PreScanCounts>& modes, const std::vector<int>& keys, int sampled,
                                  int sectorsPerBlock)
{
    const int n = static_cast<int>(modes.size());
    const bool penalty = n > 0 && modes[0].errors < 3 * sampled / 8;
    const int bound = 63 * sampled / 64;
    int choice = TLC_NO_CHOICE;
    double lowest = 0;
    for (int i = 0; i < n; ++i) {
        const int key = keys[i];
        int d = modes[i].differences;
        if (key == 19 || key == 21) {
            d = d * 3 / 2;
        } else if (key == 20 || key == 22) {
            d = d * 3;
        } else if (key != 1 && key != 18) {
            d = d * 2;
        }
        if (penalty && key != 1 && key != 18) {
            d += sectorsPerBlock;
        }
        if (modes[i].errors >= bound) {
            continue;
        }
        const double ratio = static_cast<double>(d) / (d - modes[i].errors + sampled);
        if (choice == TLC_NO_CHOICE || ratio < lowest) {
            choice = i;
            lowest = ratio;
        }
    }
    return choice;
}

}  // namespace Tessor::usb
