#include "page/LocaleTexts.h"

#include "utils/MavikLang.h"

namespace Tessor::page {

void setLocaleTexts(mfc::CDialog& dialog, std::span<const ControlText> texts)
{
    for (const ControlText& text : texts) {
        dialog.SetDlgItemText(text.id, utils::MavikLang::text(text.key));
    }
}

}  // namespace Tessor::page
