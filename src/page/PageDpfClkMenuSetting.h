// The clock menu and its sub-menu, the display (clock-mode) menu, governed
// by the clock menu's display entry.
#pragma once

#include "page/PageDpfMenuSetting.h"

namespace Tessor::page {

class PageDpfClkMenuSetting : public PageDpfMenuSetting {
public:
    enum : int { IDD = 168, IDC_CONFIRM = 1014, IDC_NOTICE = 1285 };
    explicit PageDpfClkMenuSetting(QWidget* parent = nullptr);
    // Glyph file first, then the pictures, then the sub-function numbers.
    void OnBnClickedMenuConfirm() override;
};

}  // namespace Tessor::page
