// Numbers the operator types into edits, read the one way every page reads
// them: the whole text is the number or there is none, and a value the page
// cannot take is refused with one message that names the numbers it takes.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace Tessor::mfc {
class CDialog;
}

namespace Tessor::page {

struct NumberRange {
    int64_t minimum;
    int64_t maximum;
    // "0x" and hexadecimal digits are a number too, as the INI reader takes them.
    bool hexPrefix = false;
};

// `text`, blanks around it aside, as a signed decimal number (or "0x" hex
// where allowed); none for anything else or beyond 64 bits.
std::optional<int64_t> parseNumber(const QString& text, bool hexPrefix = false);

// The message refusing a value outside `range`, after `label` when given.
QString rangeMessage(const NumberRange& range, const QString& label = QString());

// The number in edit `id` when it lies in `range`; otherwise none, once the
// operator was shown the range message.
std::optional<int64_t> takeNumber(mfc::CDialog& dialog, int id, const NumberRange& range,
                                  const QString& label = QString());

// As takeNumber, but a number outside the range is brought to its nearest
// bound, written back into the edit and returned after the message; only
// text that is no number gives none.
std::optional<int64_t> takeClampedNumber(mfc::CDialog& dialog, int id, const NumberRange& range,
                                         const QString& label = QString());

}  // namespace Tessor::page
