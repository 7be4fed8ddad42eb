#include "page/PageLoginResult.h"

#include <QLabel>
#include <QVBoxLayout>

#include "page/PageLoginDevice.h"
#include "page/PortRecord.h"
#include "page/PortStates.h"
#include "platform/mfc/PropertySheet.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

using mfc::CPropertySheet;
using utils::MavikLang;

PageLoginResult::PageLoginResult(PageLoginDevice* devicePage, QWidget* parent)
    : LoginStepPage(devicePage, "LoginResultTab", parent)
{
    auto* column = new QVBoxLayout(this);
    for (int id : {IDC_LABEL, IDC_RESULT}) {
        auto* label = new QLabel;
        addControl(id, label);
        column->addWidget(label);
    }
    column->addStretch();
}

bool PageLoginResult::OnInitDialog()
{
    takeDevice();
    SetDlgItemText(IDC_LABEL, MavikLang::text("Login Result"));
    setInitialised();
    return true;
}

bool PageLoginResult::OnSetActive()
{
    if (CPropertySheet* sheet = parentSheet()) {
        sheet->SetWizardButtons(CPropertySheet::PSWIZB_FINISH);
        sheet->SetFinishText(MavikLang::text("Waiting"));
    }
    SetDlgItemText(IDC_RESULT, MavikLang::text("Waiting"));
    followDevice();
    return true;
}

void PageLoginResult::onDeviceStateShown()
{
    int state = 0;
    CPropertySheet* sheet = ownSheet(&state);
    if (sheet == nullptr) {
        return;
    }
    if (state == UI_READY) {
        sheet->SetWizardButtons(CPropertySheet::PSWIZB_FINISH);
        sheet->SetFinishText(MavikLang::text("OK"));
        SetDlgItemText(IDC_RESULT, MavikLang::text("UDisk Operation OK"));
    } else if (state == UI_FAILED) {
        sheet->SetWizardButtons(CPropertySheet::PSWIZB_FINISH);
        sheet->SetFinishText(MavikLang::text("Exit"));
        SetDlgItemText(IDC_RESULT, MavikLang::text("UDisk Operation Failed"));
    } else {
        sheet->SetWizardButtons(0);
        SetDlgItemText(IDC_RESULT, QString());
    }
}

}  // namespace Tessor::page
