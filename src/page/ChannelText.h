// What a channel's progress control shows: a report's progress on one
// 0..100 scale, its state line, and the pieces of a line drawn in colour.
#pragma once

#include <QString>
#include <vector>

#include "schema/event/ProgressInfo.h"

namespace Tessor::page {

// Scanning fills 0..80, low format 80..90, high format 90..100; other states
// report their value as it is. A total of 0 or less counts as no progress.
int mapProgress(int stateId, int current, int total);

// "Current State:...,Current Operator:...,Current Progress:n%,Scan mode:x"
// of a report whose progress is already mapped to `value` of 100.
QString progressStateText(const schema::ProgressInfo& report, int value);

enum class TextColour { Red, Marked };

struct ColouredRange {
    int start;
    int length;
    TextColour colour;
    bool operator==(const ColouredRange&) const = default;
};

// The pieces drawn over a line in colour: the later of the two format
// words in red; on a build line the capacities up to the "^" in the marked
// colour and the configured capacity after it in red.
std::vector<ColouredRange> colouredRanges(const QString& text, const QString& formattedWord,
                                          const QString& notFormattedWord);

}  // namespace Tessor::page
