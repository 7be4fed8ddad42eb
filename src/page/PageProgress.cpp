#include "page/PageProgress.h"

#include <QMouseEvent>
#include <algorithm>
#include <cstdio>

#include "page/ChannelButton.h"
#include "page/DlgLogQuery.h"
#include "page/NarrowFont.h"
#include "page/LocaleTexts.h"
#include "page/PageHost.h"
#include "page/PortRecord.h"
#include "page/PortStates.h"
#include "platform/ini/Ini.h"
#include "platform/mfc/MessageBox.h"
#include "platform/mfc/PropertySheet.h"
#include "platform/taval/Taval.h"
#include "schema/base/Log.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "usb/profile/FlashInfo.h"
#include "usb/profile/uniSerialNO.h"
#include "utils/AnsiText.h"
#include "platform/orrin/CodePage.h"
#include "utils/MavikLang.h"
#include "utils/UserSettingFile.h"

namespace Tessor::page {

using mfc::ControlKind;
using mfc::ControlTemplate;
using utils::MavikLang;

namespace {

struct ChannelIds {
    int label;
    int progress;
    int y;          // of the button
    int progressY;  // of the progress control
};

const ChannelIds CHANNEL_IDS[PageProgress::CHANNELS] = {
    {1196, 1056, 86, 86},   {1197, 1062, 100, 99},  {1016, 1063, 114, 112}, {1017, 1064, 128, 125},
    {1018, 1065, 142, 142}, {1019, 1066, 156, 155}, {1020, 1067, 170, 169}, {1198, 1068, 184, 183},
    {1022, 1069, 198, 200}, {1023, 1070, 212, 213}, {1024, 1071, 226, 227}, {1199, 1072, 240, 241},
    {1026, 1073, 257, 258}, {1027, 1074, 271, 271}, {1028, 1075, 285, 285}, {1029, 1076, 300, 299},
    {1030, 1077, 316, 317}, {1031, 1078, 330, 330}, {1032, 1079, 344, 343}, {1033, 1080, 358, 357},
};

constexpr int LABEL_X = 11, LABEL_CX = 47, LABEL_CY = 13;
constexpr int PROGRESS_X = 75, PROGRESS_CX = 329, PROGRESS_CY = 12;

// Template 143 without its channels. The summary's labels and edits are
// placed again once their texts are known (`fitSummary`).
const ControlTemplate TEMPLATE[] = {
    {1087, ControlKind::GroupBox, "Setting Information", 10, 3, 403, 71},
    {1862, ControlKind::Label, "Flash Type", 16, 16, 60, 10},
    {PageProgress::IDC_FLASH_TYPE, ControlKind::ReadOnlyEdit, "", 78, 14, 128, 14},
    {1105, ControlKind::Label, "Vendor Information:", 16, 34, 60, 10},
    {PageProgress::IDC_VENDOR, ControlKind::ReadOnlyEdit, "", 78, 32, 128, 14},
    {1108, ControlKind::Label, "Product Information:", 16, 52, 60, 10},
    {PageProgress::IDC_PRODUCT, ControlKind::ReadOnlyEdit, "", 78, 50, 128, 14},
    {1104, ControlKind::Label, "Scan Level:", 212, 16, 60, 10},
    {PageProgress::IDC_SCAN_LEVEL, ControlKind::ReadOnlyEdit, "", 274, 14, 128, 14},
    {1106, ControlKind::Label, "Partition:", 212, 34, 60, 10},
    {PageProgress::IDC_PARTITIONS, ControlKind::ReadOnlyEdit, "", 274, 32, 128, 14},
    {1107, ControlKind::Label, "ECC Number:", 212, 52, 60, 10},
    {PageProgress::IDC_ECC, ControlKind::ReadOnlyEdit, "", 274, 50, 128, 14},
    // Tall enough for the twentieth channel (y 358).
    {1086, ControlKind::GroupBox, "Channel", 10, 77, 51, 296},
    {1102, ControlKind::GroupBox, "Progress Information", 67, 77, 345, 296},
    {PageProgress::IDC_AUTO_START, ControlKind::CheckBox, "Auto Start", 421, 18, 55, 10},
    {PageProgress::IDC_BINDING, ControlKind::CheckBox, "Binding", 421, 52, 55, 10},
    {PageProgress::IDC_START_ALL, ControlKind::Button, "Start &All", 421, 82, 50, 16},
    {PageProgress::IDC_STOP_ALL, ControlKind::Button, "&Stop All", 421, 112, 50, 16},
    {PageProgress::IDC_EJECT, ControlKind::Button, "&Eject Disk", 421, 143, 50, 16},
    {PageProgress::IDC_LOG_MANAGER, ControlKind::Button, "&Log Manager", 421, 195, 50, 16, true},
    {PageProgress::IDC_HELP, ControlKind::Button, "&Help", 421, 227, 50, 16, true},
    {PageProgress::IDC_EXIT, ControlKind::Button, "E&xit", 421, 285, 50, 16},
};

// The summary's two columns of labels and edits, rows top to bottom.
struct SummaryRow {
    int label;
    int edit;
};
const SummaryRow SUMMARY_COLUMNS[2][3] = {
    {{1862, PageProgress::IDC_FLASH_TYPE}, {1105, PageProgress::IDC_VENDOR}, {1108, PageProgress::IDC_PRODUCT}},
    {{1104, PageProgress::IDC_SCAN_LEVEL}, {1106, PageProgress::IDC_PARTITIONS}, {1107, PageProgress::IDC_ECC}},
};
constexpr int SUMMARY_LEFT = 16, SUMMARY_RIGHT = 407, SUMMARY_EDIT_CX = 150;
constexpr int SUMMARY_LABEL_GAP = 2, SUMMARY_COLUMN_GAP = 6;
// Pixels of an edit's width its frame and text margins take.
constexpr int SUMMARY_EDIT_MARGINS = 10;

const char* const SCAN_LEVEL_TEXTS[] = {
    "Level 0: Scan and Format (Original Flash Only)",
    "Level 1: Scan and Format",
    "Level 2: Scan Only, No Format (Followed By 6917E Level 9)",
    "Level 3: Format Only (Scanned By Level 2)",
};

const char* const DISK_TYPE_TEXTS[] = {"Removable Disk", "Local Disk", "CD-ROM"};

constexpr int SECTOR_SHIFT_MB = 11;

bool contains(QWidget* widget, const QPoint& global)
{
    return widget != nullptr && widget->isVisible() && QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()).contains(global);
}

}  // namespace

PageProgress::PageProgress(QWidget* parent) : PageConfig("ProgressTab", parent)
{
    createControls(TEMPLATE);
    for (int i = 0; i < CHANNELS; ++i) {
        const ChannelIds& ids = CHANNEL_IDS[i];
        auto channel = std::make_unique<MavikChan>();
        auto* label = new ChannelButton(QString::number(i + 1), this);
        label->setGeometry(dluToPixels(LABEL_X), dluToPixels(ids.y), dluToPixels(LABEL_CX), dluToPixels(LABEL_CY));
        channel->progress->setParent(this);
        channel->progress->setGeometry(dluToPixels(PROGRESS_X), dluToPixels(ids.progressY), dluToPixels(PROGRESS_CX),
                                       dluToPixels(PROGRESS_CY));
        channel->labelId = ids.label;
        channel->progressId = ids.progress;
        channel->page = this;
        addControl(ids.label, label);
        addControl(ids.progress, channel->progress);
        m_channels[static_cast<size_t>(i)] = std::move(channel);
    }
    onClicked(IDC_START_ALL, [this] { OnClickedStartAll(); });
    onClicked(IDC_STOP_ALL, [this] { OnClickedStopAll(); });
    onClicked(IDC_EJECT, [this] { OnClickedEjectAll(); });
    onClicked(IDC_EXIT, [this] { OnClickedExit(); });
    onClicked(IDC_LOG_MANAGER, [this] { OnClickedLogManager(); });
    onClicked(IDC_AUTO_START, [this] { OnClickedAutoStart(); });
    onClicked(IDC_BINDING, [this] { OnClickedBinding(); });
}

MavikChan* PageProgress::getChannel(int index)
{
    return index >= 0 && index < CHANNELS ? m_channels[static_cast<size_t>(index)].get() : nullptr;
}

int PageProgress::liveChannels() const { return uiMgr != nullptr ? uiMgr->getCount() : 0; }

bool PageProgress::OnInitDialog()
{
    layoutChannels();
    setTexts();
    fitSummary();
    showSettings();
    setInitialised();
    SetTimer(m_timerId, 100);
    return true;
}

void PageProgress::layoutChannels()
{
    for (auto& channel : m_channels) {
        channel->progress->markedColour = 0x000000;
        channel->progress->barColour = 0xFF8080;
        channel->progress->backgroundColour = 0xCAD7D7;
    }
    for (auto& channel : m_channels) {
        channel->labelWindow = GetDlgItem(channel->labelId);
        EnableDlgItem(channel->labelId, false);
    }
    for (int i = CHANNELS - 1; i >= liveChannels(); --i) {
        ShowDlgItem(m_channels[static_cast<size_t>(i)]->labelId, false);
        ShowDlgItem(m_channels[static_cast<size_t>(i)]->progressId, false);
    }
}

void PageProgress::setTexts()
{
    static const ControlText texts[] = {{IDC_START_ALL, "Start &All"},
                                        {IDC_STOP_ALL, "&Stop All"},
                                        {IDC_EJECT, "&Eject Disk"},
                                        {IDC_HELP, "&Help"},
                                        {IDC_EXIT, "E&xit"},
                                        {1087, "Setting Information"},
                                        {1086, "Channel"},
                                        {1102, "Progress Information"},
                                        {1104, "Scan Level:"},
                                        {1105, "Vendor Information:"},
                                        {1106, "Partition:"},
                                        {1107, "ECC Number:"},
                                        {1108, "Product Information:"},
                                        {1862, "Flash Type"},
                                        {IDC_AUTO_START, "Auto Start"},
                                        {IDC_LOG_MANAGER, "&Log Manager"}};
    setLocaleTexts(*this, texts);
}

void PageProgress::fitSummary()
{
    // Each column's labels as wide as its widest text; the edits share what
    // is left, up to the template's width.
    int labelWidths[2] = {};
    for (int column = 0; column < 2; ++column) {
        for (const SummaryRow& row : SUMMARY_COLUMNS[column]) {
            const int width = GetDlgItem(row.label)->fontMetrics().horizontalAdvance(GetDlgItemText(row.label));
            labelWidths[column] = std::max(labelWidths[column], width + 2);
        }
    }
    const int gap = dluToPixels(SUMMARY_LABEL_GAP);
    const int columnGap = dluToPixels(SUMMARY_COLUMN_GAP);
    const int room = dluToPixels(SUMMARY_RIGHT - SUMMARY_LEFT) - labelWidths[0] - labelWidths[1] - 2 * gap - columnGap;
    const int editWidth = std::min(dluToPixels(SUMMARY_EDIT_CX), room / 2);
    int x = dluToPixels(SUMMARY_LEFT);
    for (int column = 0; column < 2; ++column) {
        for (const SummaryRow& row : SUMMARY_COLUMNS[column]) {
            QWidget* label = GetDlgItem(row.label);
            QWidget* edit = GetDlgItem(row.edit);
            label->setGeometry(x, label->y(), labelWidths[column], label->height());
            edit->setGeometry(x + labelWidths[column] + gap, edit->y(), editWidth, edit->height());
        }
        x += labelWidths[column] + gap + editWidth + columnGap;
    }
}

void PageProgress::showSettings()
{
    if (holder != nullptr && !holder->flashModel.isEmpty()) {
        SetDlgItemText(IDC_FLASH_TYPE, holder->flashModel);
    }
    QString partitions;
    for (int i = 0; i < 3; ++i) {
        Sptr<schema::PartInfo> part = m_runSettings->getPartInfo(i);
        if (!part) {
            break;
        }
        if (part->getCapacity() == 0) {
            continue;
        }
        const int type = part->getDiskType();
        if (type >= 0 && type < 3) {
            partitions += MavikLang::text(DISK_TYPE_TEXTS[type]);
        }
        partitions += QString::asprintf("(%dMB) ", static_cast<int>(part->getCapacity() >> SECTOR_SHIFT_MB));
    }
    SetDlgItemText(IDC_PARTITIONS, partitions);
    const int level = m_scanSettings->getScanLevel();
    if (level >= 0 && level < 4) {
        SetDlgItemText(IDC_SCAN_LEVEL, MavikLang::text(SCAN_LEVEL_TEXTS[level]));
    }
    SetDlgItemInt(IDC_ECC, m_scanSettings->getEccBytes());
    SetDlgItemText(IDC_VENDOR, utils::fromAnsi(m_runSettings->getVendorString()));
    SetDlgItemText(IDC_PRODUCT, utils::fromAnsi(m_runSettings->getProductString()));
    CheckDlgButton(IDC_AUTO_START, m_runSettings->checkAutoStart() ? 1 : 0);
    if (m_runSettings->getUserIsBind() == 1) {
        CheckDlgButton(IDC_BINDING, 1);
        // The library takes the choice; nothing to act on.
        (void)setBindingState(IsDlgButtonChecked(IDC_BINDING));
    }
    // A value longer than its edit is drawn narrower, so it shows whole.
    for (const auto& column : SUMMARY_COLUMNS) {
        for (const SummaryRow& row : column) {
            QWidget* edit = GetDlgItem(row.edit);
            edit->setFont(narrowToFit(font(), GetDlgItemText(row.edit), edit->width() - SUMMARY_EDIT_MARGINS));
        }
    }
}

void PageProgress::showEvent(QShowEvent* event)
{
    PageConfig::showEvent(event);
    if (QWidget* sheet = window(); sheet != this) {
        const bool english = MavikLang::language() == utils::LANG_ENGLISH;
        sheet->resize(770, english ? 575 : 530);
        sheet->show();
    }
}

void PageProgress::OnClickedStartAll()
{
    uiMgr->forEachDevice(ACTION_START);
    for (int i = 0; i < liveChannels(); ++i) {
        m_channels[static_cast<size_t>(i)]->progress->setEmptyBar(false);
        m_channels[static_cast<size_t>(i)]->progress->setFullBar(false);
    }
}

void PageProgress::OnClickedStopAll() { uiMgr->forEachDevice(ACTION_STOP); }

void PageProgress::OnClickedEjectAll()
{
    CPLOG(7, "Eject all devices");
    uiMgr->forEachDevice(ACTION_STOP);
    uiMgr->forEachDevice(ACTION_EJECT);
}

void PageProgress::OnClickedAutoStart()
{
    const bool checked = IsDlgButtonChecked(IDC_AUTO_START) != 0;
    m_runSettings->setAutopStart(checked);
    if (checked) {
        OnClickedStartAll();
    }
}

std::string PageProgress::userSettingFile() const
{
    const std::string folder = holder != nullptr ? holder->getWorkDir() : std::string(".");
    return CodePage::fromUtf8(folder) + "\\" + utils::UserSettingFile;
}

void PageProgress::OnClickedBinding()
{
    const int bound = IsDlgButtonChecked(IDC_BINDING);
    (void)setBindingState(bound);  // the library takes the choice; nothing to act on
    m_runSettings->setUserIsBind(bound);
    // Not checked: the binding holds for this run either way.
    (void)WritePrivateProfileStringA("SettingInformation", "IsBind", std::to_string(bound).c_str(),
                                     userSettingFile().c_str());
}

void PageProgress::OnClickedLogManager()
{
    DlgLogQuery dialog;
    dialog.DoModal();
}

void PageProgress::saveSerialNumber()
{
    uint32_t number = 0;
    // The counter keeps the number for the next run and logs a failure.
    if (!schema::uniSerialNO::instance()->takeLastSerialNO(&number)) {
        mfc::AfxMessageBox(MavikLang::text("All serial numbers up to 99999999 are used, set a new start number!"));
    }
}

void PageProgress::OnClickedExit()
{
    if (uiMgr->getConfigInfo()->getSnMode() == schema::SN_MODE_INCREMENT) {
        saveSerialNumber();
    }
    for (int i = 0; i < liveChannels(); ++i) {
        const PortRecord* record = m_channels[static_cast<size_t>(i)]->device;
        if (record != nullptr && (record->isBusy() || record->getState() == UI_FOUND)) {
            mfc::AfxMessageBox(MavikLang::text("Cannot exit during the manufacture"));
            return;
        }
    }
    if (auto* sheet = dynamic_cast<mfc::CPropertySheet*>(window())) {
        sheet->DestroyWindow();
    }
}

void PageProgress::OnTimer(int id)
{
    if (id != m_timerId) {
        return;
    }
    for (int i = 0; i < liveChannels(); ++i) {
        MavikChan& channel = *m_channels[static_cast<size_t>(i)];
        const int state = channel.device != nullptr ? channel.device->getState() : UI_NO_DISK;
        if (state == UI_EJECTING || state == UI_UNPLUGGED) {
            channel.progress->setEmptyBar(true);
            channel.progress->setFullBar(false);
            channel.progress->setStateText(QString());
        }
    }
}

bool PageProgress::PreTranslateMessage(QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress) {
        return false;
    }
    auto* press = static_cast<QMouseEvent*>(event);
    const bool left = press->button() == Qt::LeftButton;
    const bool right = press->button() == Qt::RightButton;
    if (!left && !right) {
        return false;
    }
    const QPoint at = press->globalPosition().toPoint();
    for (int i = 0; i < liveChannels(); ++i) {
        MavikChan& channel = *m_channels[static_cast<size_t>(i)];
        PortRecord* record = channel.device;
        if (contains(channel.labelWindow, at)) {
            if (left) {
                if (record != nullptr) {
                    record->onUserAction(ACTION_CLICK);
                }
                channel.progress->setEmptyBar(false);
                channel.progress->setFullBar(false);
            } else if (record != nullptr) {
                record->btnRightClick();
            }
            return false;
        }
        if (contains(channel.progress, at)) {
            if (right) {
                channel.showBuildInfo();
                return true;
            }
            QString partNumber;
            schema::UsbDevice* device = record != nullptr ? record->getDevice() : nullptr;
            Sptr<usb::FlashInfo> flash = device != nullptr ? device->getFlashInfo() : Sptr<usb::FlashInfo>();
            if (flash) {
                partNumber = utils::fromAnsi(flash->getChipInfo()->PartNumber);
            }
            if (uiMgr != nullptr) {
                uiMgr->setCurrentPartNumber(partNumber);
            }
            return true;
        }
    }
    return false;
}

}  // namespace Tessor::page
