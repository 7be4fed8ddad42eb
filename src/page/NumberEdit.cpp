#include "page/NumberEdit.h"

#include <algorithm>

#include "platform/mfc/Dialog.h"
#include "platform/mfc/MessageBox.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

std::optional<int64_t> parseNumber(const QString& text, bool hexPrefix)
{
    const QString trimmed = text.trimmed();
    bool number = false;
    int64_t value = 0;
    if (hexPrefix && trimmed.startsWith("0x", Qt::CaseInsensitive)) {
        const QString digits = trimmed.mid(2);
        // Qt would take a sign after the prefix; the INI reader would not.
        if (!digits.isEmpty() && digits[0].isLetterOrNumber()) {
            value = digits.toLongLong(&number, 16);
        }
    } else {
        value = trimmed.toLongLong(&number, 10);
    }
    return number ? std::optional<int64_t>(value) : std::nullopt;
}

QString rangeMessage(const NumberRange& range, const QString& label)
{
    const auto bound = [&](int64_t value) {
        return range.hexPrefix ? "0x" + QString::number(value, 16).toUpper() : QString::number(value);
    };
    // "-128 - 255" rather than "-128-255".
    const QString text = QString(range.minimum < 0 ? "%1 %2 - %3" : "%1 %2-%3")
                             .arg(utils::MavikLang::text("Value invalid! Please enter the number"), bound(range.minimum),
                                  bound(range.maximum));
    return label.isEmpty() ? text : label + ": " + text;
}

std::optional<int64_t> takeNumber(mfc::CDialog& dialog, int id, const NumberRange& range, const QString& label)
{
    const std::optional<int64_t> typed = parseNumber(dialog.GetDlgItemText(id), range.hexPrefix);
    if (typed && *typed >= range.minimum && *typed <= range.maximum) {
        return typed;
    }
    mfc::AfxMessageBox(rangeMessage(range, label));
    return std::nullopt;
}

std::optional<int64_t> takeClampedNumber(mfc::CDialog& dialog, int id, const NumberRange& range, const QString& label)
{
    const std::optional<int64_t> typed = parseNumber(dialog.GetDlgItemText(id), range.hexPrefix);
    if (!typed) {
        mfc::AfxMessageBox(rangeMessage(range, label));
        return std::nullopt;
    }
    const int64_t value = std::clamp(*typed, range.minimum, range.maximum);
    if (value != *typed) {
        mfc::AfxMessageBox(rangeMessage(range, label));
        dialog.SetDlgItemText(id, QString::number(value));
    }
    return value;
}

}  // namespace Tessor::page
