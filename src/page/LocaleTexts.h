// The visible texts of a page or dialog: each control gets the locale text
// of its English key.
#pragma once

#include <span>

#include "platform/mfc/Dialog.h"

namespace Tessor::page {

struct ControlText {
    int id;
    const char* key;
};

void setLocaleTexts(mfc::CDialog& dialog, std::span<const ControlText> texts);

}  // namespace Tessor::page
