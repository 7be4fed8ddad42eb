#include "page/PageUserTool.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "page/ChannelClick.h"
#include "page/PortRecord.h"
#include "page/PortStates.h"
#include "platform/mfc/PropertySheet.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

using utils::MavikLang;

PageUserTool::PageUserTool(QWidget* parent) : PageSetting("DiskTab", parent)
{
    m_ids = PartitionIds{
        .capacity = 1226,
        .count = 1227,
        .policy = 1228,
        .password = 1238,
        .partCapacity = {1233, 1244, 1253},
        .content = {1239, 1247, 1256},
        .volume = {1235, 1246, 1255},
        .contentLabel = {1258, 1259, 1260},
        .bootDisk = 1229,
        .writeProtect = {1236, 1243, 1252},
        .localDisk = {1232, 1918, 1251},
        .removable = {1231, 1917, 1250},
        .cdrom = {1230, 1916, 1249},
        .encrypt = 1237,
        .confirm = {1234, 1245, 1254},
        .browse = {1240, 1248, 1257},
    };
    auto* column = new QVBoxLayout(this);
    auto* status = new QGroupBox;
    auto* statusRow = new QHBoxLayout(status);
    auto* port = new QPushButton("1");
    port->setFixedWidth(170);
    m_channel.progress->setMinimumWidth(400);
    m_channel.progress->setFixedHeight(28);
    statusRow->addWidget(port);
    statusRow->addWidget(m_channel.progress);
    m_channel.labelWindow = port;
    m_channel.labelId = IDC_PORT_BUTTON;
    m_channel.progressId = IDC_PROGRESS;
    m_channel.page = this;
    addControl(IDC_STATUS_GROUP, status);
    addControl(IDC_PORT_BUTTON, port);
    addControl(IDC_PROGRESS, m_channel.progress);
    column->addWidget(status);
    // The user page neither limits volume labels nor ties the password to
    // write protection.
    column->addWidget(createPartitionControls(false));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int id : {IDC_APPLY, IDC_EJECT, IDC_EXIT}) {
        auto* button = new QPushButton;
        addControl(id, button);
        buttons->addWidget(button);
    }
    column->addLayout(buttons);
    connect(static_cast<QPushButton*>(GetDlgItem(IDC_APPLY)), &QPushButton::clicked, this, [this] { OnClickedApply(); });
    connect(static_cast<QPushButton*>(GetDlgItem(IDC_EJECT)), &QPushButton::clicked, this, [this] { OnClickedEject(); });
    connect(static_cast<QPushButton*>(GetDlgItem(IDC_EXIT)), &QPushButton::clicked, this, [this] { OnClickedExit(); });
}

MavikChan* PageUserTool::getChannel(int) { return &m_channel; }

bool PageUserTool::OnInitDialog()
{
    static_cast<QGroupBox*>(GetDlgItem(IDC_STATUS_GROUP))->setTitle(MavikLang::text("Status Messages"));
    SetDlgItemText(IDC_APPLY, MavikLang::text("Apply"));
    SetDlgItemText(IDC_EJECT, MavikLang::text("&Eject Disk"));
    SetDlgItemText(IDC_EXIT, MavikLang::text("E&xit"));
    EnableDlgItem(IDC_APPLY, false);
    EnableDlgItem(IDC_EJECT, false);
    m_channel.progress->markedColour = 0x000000;
    m_channel.progress->barColour = 0xFF8080;
    m_channel.progress->backgroundColour = 0xCAD7D7;
    EnableDlgItem(IDC_PORT_BUTTON, false);
    // Settings loaded before the page was first shown count as its first reload.
    if (m_runSettings) {
        loadPartitions();
        EnableDlgItem(IDC_APPLY, true);
        EnableDlgItem(IDC_EJECT, true);
    }
    if (auto* policy = qobject_cast<QComboBox*>(GetDlgItem(m_ids.policy))) {
        policy->setCurrentIndex(0);
    }
    setInitialised();
    return true;
}

void PageUserTool::reloadScanConfig()
{
    PageSetting::reloadScanConfig();
    loadPartitions();
    EnableDlgItem(IDC_APPLY, true);
    EnableDlgItem(IDC_EJECT, true);
}

void PageUserTool::OnClickedApply()
{
    if (!acceptVolumeLabels() || !acceptContents()) {
        clearError();
        return;
    }
    commitPartInfo();
    PortRecord* record = m_channel.device;
    if (record == nullptr || !startsOnClick(record->getState())) {
        return;
    }
    // The start carries the partitions just committed.
    record->setRunSettings(Sptr<schema::ConfigInfo>(new schema::ConfigInfo(m_runSettings)));
    record->setState(UI_PRODUCING, Sptr<schema::UiEvent>());
    record->sendToDevice(schema::UI_SIG_START, Sptr<schema::UiEvent>());
}

void PageUserTool::OnClickedEject()
{
    PortRecord* record = m_channel.device;
    if (record == nullptr) {
        return;
    }
    const int state = record->getState();
    if (state == UI_PRODUCING) {
        record->setState(UI_UNPLUGGED, Sptr<schema::UiEvent>());
    } else if (startsOnClick(state) || state == UI_EJECTING) {
        record->setState(UI_EJECTING, Sptr<schema::UiEvent>());
    } else {
        return;
    }
    record->sendToDevice(schema::UI_SIG_EJECT, Sptr<schema::UiEvent>());
}

void PageUserTool::OnClickedExit()
{
    if (mfc::CPropertySheet* sheet = parentSheet()) {
        sheet->DestroyWindow();
    }
}

void PageUserTool::mousePressEvent(QMouseEvent* event)
{
    if (!clickChannel(m_channel, *this, *event)) {
        PageSetting::mousePressEvent(event);
    }
}

}  // namespace Tessor::page
