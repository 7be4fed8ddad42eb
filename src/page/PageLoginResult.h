// The login wizard, page 3: waits for the disk's outcome and shows it.
#pragma once

#include "page/LoginStepPage.h"

namespace Tessor::page {

class PageLoginResult : public LoginStepPage {
public:
    enum : int { IDD = 165, IDC_LABEL = 1218, IDC_RESULT = 1219 };

    explicit PageLoginResult(PageLoginDevice* devicePage, QWidget* parent = nullptr);

    void onDeviceStateShown() override;
    bool OnSetActive() override;

protected:
    bool OnInitDialog() override;
};

}  // namespace Tessor::page
