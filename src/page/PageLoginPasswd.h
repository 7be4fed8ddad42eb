// The login wizard, page 2: the password and the operation (log into the
// hidden partition, make the protected partition writable, or change the
// password), sent to the disk as a start.
#pragma once

#include "page/LoginStepPage.h"

namespace Tessor::page {

class PageLoginPasswd : public LoginStepPage {
public:
    enum : int {
        IDD = 163,
        IDC_PASSWORD = 1211,
        IDC_NEW_FIRST = 1212,
        IDC_NEW_SECOND = 1213,
        IDC_MODIFY = 1214,
        IDC_UNPROTECT = 1215,
        IDC_TITLE = 1221,
        IDC_NEW_GROUP = 1222,
    };
    // Longest password taken.
    static constexpr int PASSWORD_LIMIT = 17;

    explicit PageLoginPasswd(PageLoginDevice* devicePage, QWidget* parent = nullptr);

    void onDeviceStateShown() override;
    bool OnSetActive() override;
    int OnWizardNext() override;
    void OnClickedModify();
    void OnClickedUnprotect();

protected:
    bool OnInitDialog() override;

private:
    void limitPassword(int id);
    void showTitle();

    bool m_unprotect = false;
    bool m_modify = false;
};

}  // namespace Tessor::page
