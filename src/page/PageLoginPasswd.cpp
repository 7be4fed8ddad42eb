#include "page/PageLoginPasswd.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "page/ChannelClick.h"
#include "page/PageLoginDevice.h"
#include "page/PageHost.h"
#include "page/PortRecord.h"
#include "page/PortStates.h"
#include "platform/mfc/MessageBox.h"
#include "platform/mfc/PropertySheet.h"
#include "utils/AnsiText.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

using mfc::CPropertySheet;
using utils::MavikLang;

namespace {

constexpr int LOGIN_OPEN_HIDDEN = 1;
constexpr int LOGIN_MAKE_WRITABLE = 2;
constexpr int LOGIN_CHANGE_PASSWORD = 3;

}  // namespace

PageLoginPasswd::PageLoginPasswd(PageLoginDevice* devicePage, QWidget* parent)
    : LoginStepPage(devicePage, "LoginPasswdTab", parent)
{
    auto* column = new QVBoxLayout(this);
    auto* title = new QLabel;
    addControl(IDC_TITLE, title);
    column->addWidget(title);
    auto* grid = new QGridLayout;
    auto* password = new QLineEdit;
    password->setEchoMode(QLineEdit::Password);
    addControl(IDC_PASSWORD, password);
    auto* passwordLabel = new QLabel;
    addControl(1261, passwordLabel);
    grid->addWidget(passwordLabel, 0, 0);
    grid->addWidget(password, 0, 1);
    auto* unprotect = new QCheckBox;
    auto* modify = new QCheckBox;
    addControl(IDC_UNPROTECT, unprotect);
    addControl(IDC_MODIFY, modify);
    grid->addWidget(unprotect, 1, 0);
    grid->addWidget(modify, 1, 1);
    column->addLayout(grid);
    auto* group = new QGroupBox;
    addControl(IDC_NEW_GROUP, group);
    auto* newGrid = new QGridLayout(group);
    const std::pair<int, int> rows[] = {{1263, IDC_NEW_FIRST}, {1262, IDC_NEW_SECOND}};
    for (int row = 0; row < 2; ++row) {
        auto* label = new QLabel;
        auto* edit = new QLineEdit;
        edit->setEchoMode(QLineEdit::Password);
        addControl(rows[row].first, label);
        addControl(rows[row].second, edit);
        newGrid->addWidget(label, row, 0);
        newGrid->addWidget(edit, row, 1);
    }
    column->addWidget(group);
    column->addStretch();
    onClicked(IDC_MODIFY, [this] { OnClickedModify(); });
    onClicked(IDC_UNPROTECT, [this] { OnClickedUnprotect(); });
    for (int id : {IDC_PASSWORD, IDC_NEW_FIRST, IDC_NEW_SECOND}) {
        connect(static_cast<QLineEdit*>(GetDlgItem(id)), &QLineEdit::textChanged, this, [this, id] { limitPassword(id); });
    }
}

bool PageLoginPasswd::OnInitDialog()
{
    const std::pair<int, const char*> labels[] = {{IDC_TITLE, "Login into Hide Partition"},
                                                 {1261, "Password:"},
                                                 {IDC_UNPROTECT, "Unprotected"},
                                                 {IDC_MODIFY, "Modify Password"},
                                                 {1263, "First Time:"},
                                                 {1262, "Second Time:"}};
    for (const auto& [id, key] : labels) {
        SetDlgItemText(id, MavikLang::text(key));
    }
    static_cast<QGroupBox*>(GetDlgItem(IDC_NEW_GROUP))->setTitle(MavikLang::text("New Password"));
    takeDevice();
    CheckDlgButton(IDC_UNPROTECT, 0);
    EnableDlgItem(IDC_UNPROTECT, true);
    CheckDlgButton(IDC_MODIFY, 0);
    EnableDlgItem(IDC_NEW_FIRST, false);
    EnableDlgItem(IDC_NEW_SECOND, false);
    setInitialised();
    return true;
}

bool PageLoginPasswd::OnSetActive()
{
    if (CPropertySheet* sheet = parentSheet()) {
        sheet->SetWizardButtons(CPropertySheet::PSWIZB_BACK | CPropertySheet::PSWIZB_NEXT);
    }
    followDevice();
    return true;
}

void PageLoginPasswd::onDeviceStateShown()
{
    int state = 0;
    CPropertySheet* sheet = ownSheet(&state);
    if (sheet == nullptr) {
        return;
    }
    if (state == UI_READY) {
        sheet->SetWizardButtons(CPropertySheet::PSWIZB_BACK | CPropertySheet::PSWIZB_NEXT);
    } else if (state == UI_FAILED) {
        sheet->SetWizardButtons(CPropertySheet::PSWIZB_BACK | CPropertySheet::PSWIZB_FINISH);
        sheet->SetFinishText(MavikLang::text("Exit"));
    } else {
        sheet->SetWizardButtons(CPropertySheet::PSWIZB_BACK);
    }
}

void PageLoginPasswd::showTitle()
{
    const char* title = m_unprotect ? "Change a partition as writable"
                        : m_modify  ? "Change password"
                                    : "Login into Hide Partition";
    SetDlgItemText(IDC_TITLE, MavikLang::text(title));
}

void PageLoginPasswd::OnClickedModify()
{
    m_modify = IsDlgButtonChecked(IDC_MODIFY) != 0;
    for (int id : {IDC_NEW_GROUP, IDC_NEW_FIRST, IDC_NEW_SECOND}) {
        EnableDlgItem(id, m_modify);
    }
    showTitle();
}

void PageLoginPasswd::OnClickedUnprotect()
{
    m_unprotect = IsDlgButtonChecked(IDC_UNPROTECT) != 0;
    if (m_unprotect) {
        CheckDlgButton(IDC_MODIFY, 0);
        EnableDlgItem(IDC_MODIFY, false);
        EnableDlgItem(IDC_NEW_FIRST, false);
        EnableDlgItem(IDC_NEW_SECOND, false);
        m_modify = false;
    } else {
        EnableDlgItem(IDC_MODIFY, true);
    }
    showTitle();
}

void PageLoginPasswd::limitPassword(int id)
{
    auto* edit = static_cast<QLineEdit*>(GetDlgItem(id));
    if (edit->text().size() <= PASSWORD_LIMIT) {
        return;
    }
    mfc::AfxMessageBox(MavikLang::text("Password is not more than 17 characters!"));
    const QSignalBlocker quiet(edit);
    edit->setText(edit->text().left(PASSWORD_LIMIT));
}

int PageLoginPasswd::OnWizardNext()
{
    Sptr<schema::ConfigInfo> settings = holder->getConfigInfo();
    if (m_modify) {
        if (GetDlgItemText(IDC_NEW_FIRST) != GetDlgItemText(IDC_NEW_SECOND)) {
            mfc::AfxMessageBox(MavikLang::text("The 2 new password are not same"));
            return -1;
        }
        holder->toMultiByteString(GetDlgItemText(IDC_NEW_FIRST));
        settings->setLoginOp(LOGIN_CHANGE_PASSWORD);
    } else {
        settings->setLoginOp(m_unprotect ? LOGIN_MAKE_WRITABLE : LOGIN_OPEN_HIDDEN);
    }
    if (GetDlgItemText(IDC_PASSWORD) != holder->toWideString()) {
        mfc::AfxMessageBox(MavikLang::text("Password is not correct, please re-input it"));
        return -1;
    }
    uiMgr->distributeConfigInfo(settings);
    if (m_device != nullptr && startsOnClick(m_device->getState())) {
        m_device->setState(UI_PRODUCING, Sptr<schema::UiEvent>());
        m_device->sendToDevice(schema::UI_SIG_START, Sptr<schema::UiEvent>());
    }
    return 0;
}

}  // namespace Tessor::page
