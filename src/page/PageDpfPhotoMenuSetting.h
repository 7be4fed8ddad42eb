// The photo menu; every refresh also writes its English picture.
#pragma once

#include "page/PageDpfMenuSetting.h"

namespace Tessor::page {

class PageDpfPhotoMenuSetting : public PageDpfMenuSetting {
public:
    enum : int { IDD = 2000, IDC_CONFIRM = 1014, IDC_NOTICE = 1284 };
    explicit PageDpfPhotoMenuSetting(QWidget* parent = nullptr);
    // Glyph file and sub-function numbers first, then the pictures.
    void OnBnClickedMenuConfirm() override;
    void refresh() override;
};

}  // namespace Tessor::page
