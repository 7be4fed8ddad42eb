#include "platform/mfc/UpDownEdit.h"

#include <algorithm>

namespace Tessor::mfc {

UpDownEdit::UpDownEdit(QWidget* parent) : QSpinBox(parent) {}

QValidator::State UpDownEdit::validate(QString& input, int& pos) const
{
    QString digits = input.trimmed();
    const bool negative = digits.startsWith('-');
    if (negative || digits.startsWith('+')) {
        digits.remove(0, 1);
    }
    // Emptied to be typed again: left so, the box shows its value again.
    if (digits.isEmpty()) {
        return QValidator::Intermediate;
    }
    if (!std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); })) {
        return QValidator::Invalid;
    }
    bool fits = false;
    const qlonglong magnitude = digits.toLongLong(&fits);
    const int bounded = negative ? (fits ? static_cast<int>(std::max<qlonglong>(-magnitude, minimum())) : minimum())
                                 : (fits ? static_cast<int>(std::min<qlonglong>(magnitude, maximum())) : maximum());
    const int value = std::max(bounded, minimum());
    const QString shown = QString::number(value);
    if (shown != input) {
        input = shown;
        pos = static_cast<int>(shown.size());
    }
    return QValidator::Acceptable;
}

}  // namespace Tessor::mfc
