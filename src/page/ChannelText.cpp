#include "page/ChannelText.h"

#include <algorithm>

#include "utils/AnsiText.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

using utils::MavikLang;

namespace {
enum { STATE_SCAN = 3, STATE_LOW_FORMAT = 4, STATE_HIGH_FORMAT = 5 };
}

int mapProgress(int stateId, int current, int total)
{
    int base = 0;
    int span = 0;
    switch (stateId) {
    case STATE_SCAN:
        span = 80;
        break;
    case STATE_LOW_FORMAT:
        base = 80;
        span = 10;
        break;
    case STATE_HIGH_FORMAT:
        base = 90;
        span = 10;
        break;
    default:
        return current;
    }
    if (total <= 0) {
        return base;
    }
    const long long clamped = std::min(current, total);
    return static_cast<int>(clamped * span / total) + base;
}

QString progressStateText(const schema::ProgressInfo& report, int value)
{
    const QString stateName = utils::fromAnsi(report.getStateName()).left(MavikLang::TEXT_LIMIT);
    const QString operatorName = utils::fromAnsi(report.getOperatorName()).left(MavikLang::TEXT_LIMIT);
    return MavikLang::text("Current State") + ':' + MavikLang::text(stateName) + ',' +
           MavikLang::text("Current Operator") + ':' + MavikLang::text(operatorName) + ',' +
           MavikLang::text("Current Progress") + ':' + QString::number(value) + "%," + MavikLang::text("Scan mode") +
           ':' + QString::number(static_cast<unsigned>(report.getCurScanMode()), 16);
}

std::vector<ColouredRange> colouredRanges(const QString& text, const QString& formattedWord,
                                          const QString& notFormattedWord)
{
    std::vector<ColouredRange> ranges;
    const int formatted = static_cast<int>(text.indexOf(formattedWord));
    const int notFormatted = static_cast<int>(text.indexOf(notFormattedWord));
    if (formatted >= 0 || notFormatted >= 0) {
        const bool formattedLater = formatted > notFormatted;
        const int at = formattedLater ? formatted : notFormatted;
        const int length = static_cast<int>(formattedLater ? formattedWord.size() : notFormattedWord.size());
        ranges.push_back({at, length, TextColour::Red});
    }
    const int caret = static_cast<int>(text.indexOf('^'));
    if (caret > 1) {
        ranges.push_back({0, caret + 1, TextColour::Marked});
        const int open = static_cast<int>(text.indexOf('(', caret));
        if (open >= 0) {
            ranges.push_back({caret + 1, open - caret - 1, TextColour::Red});
        }
    }
    return ranges;
}

}  // namespace Tessor::page
