// The settings menu and its sub-menu, the welcome (start-up picture) menu,
// governed by the settings menu's welcome entry.
#pragma once

#include "page/PageDpfMenuSetting.h"

namespace Tessor::page {

class PageDpfSetMenuSetting : public PageDpfMenuSetting {
public:
    enum : int { IDD = 174, IDC_CONFIRM = 1281, IDC_NOTICE = 1286 };
    explicit PageDpfSetMenuSetting(QWidget* parent = nullptr);
    // The pictures first, so the glyph file packs the glyphs just drawn.
    void OnBnClickedMenuConfirm() override;
};

}  // namespace Tessor::page
