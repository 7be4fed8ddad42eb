#include "page/PageLoginDevice.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "page/ChannelClick.h"
#include "page/PortRecord.h"
#include "page/PortStates.h"
#include "platform/mfc/MessageBox.h"
#include "platform/mfc/PropertySheet.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

using mfc::CPropertySheet;
using utils::MavikLang;

PageLoginDevice::PageLoginDevice(QWidget* parent) : PageSetting("LoginDeviceTab", parent)
{
    auto* column = new QVBoxLayout(this);
    auto* detecting = new QLabel;
    addControl(IDC_DETECTING, detecting);
    column->addWidget(detecting);
    m_channel.progress->setFixedHeight(28);
    column->addWidget(m_channel.progress);
    auto* port = new QPushButton("1");
    port->hide();
    addControl(IDC_PORT_BUTTON, port);
    addControl(IDC_PROGRESS, m_channel.progress);
    column->addStretch();
    m_channel.labelWindow = port;
    m_channel.labelId = IDC_PORT_BUTTON;
    m_channel.progressId = IDC_PROGRESS;
    m_channel.page = this;
}

MavikChan* PageLoginDevice::getChannel(int) { return &m_channel; }

bool PageLoginDevice::OnInitDialog()
{
    SetDlgItemText(IDC_DETECTING, MavikLang::text("UDisk Detecting") + "......");
    m_channel.progress->markedColour = 0x000000;
    m_channel.progress->barColour = 0xFF8080;
    m_channel.progress->backgroundColour = 0xCAD7D7;
    EnableDlgItem(IDC_PORT_BUTTON, false);
    setInitialised();
    return true;
}

int PageLoginDevice::deviceState() { return m_channel.device != nullptr ? m_channel.device->getState() : 0; }

bool PageLoginDevice::OnSetActive()
{
    if (CPropertySheet* sheet = parentSheet()) {
        sheet->SetWizardButtons(0);
    }
    onDeviceStateShown();
    return true;
}

void PageLoginDevice::onDeviceStateShown()
{
    CPropertySheet* sheet = parentSheet();
    if (sheet == nullptr || m_channel.page != this) {
        return;
    }
    const int state = deviceState();
    if (state == UI_READY) {
        sheet->SetWizardButtons(CPropertySheet::PSWIZB_NEXT);
    } else if (state == UI_FAILED) {
        sheet->SetWizardButtons(CPropertySheet::PSWIZB_FINISH);
        sheet->SetFinishText(MavikLang::text("Exit"));
    } else {
        sheet->SetWizardButtons(0);
    }
}

int PageLoginDevice::OnWizardNext()
{
    if (deviceState() == UI_READY) {
        return 0;
    }
    mfc::AfxMessageBox(MavikLang::text("UDisk Can not be used for Login. Maybe no hide partition is exist!"));
    return -1;
}

void PageLoginDevice::mousePressEvent(QMouseEvent* event)
{
    if (!clickChannel(m_channel, *this, *event)) {
        PageSetting::mousePressEvent(event);
    }
}

}  // namespace Tessor::page
