#include "page/CFlashConfigPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstring>
#include <vector>

#include "page/NumberEdit.h"
#include "page/PageHost.h"
#include "platform/ini/Ini.h"
#include "platform/mfc/MessageBox.h"
#include "schema/base/UsbConfiguration.h"
#include "usb/profile/FlashProfileFields.h"
#include "utils/AnsiText.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

using utils::MavikLang;

namespace {

enum Kind { TYPE, BUS, CHECK, INT, HEX, NONE };

struct KeyControl {
    int id;
    Kind kind;
    const char* label;
    bool visible;
};

// One entry per key of the flash-chip table, in the table's order.
const KeyControl KEY_CONTROLS[] = {
    {1237, TYPE, "闪存类型", true},       {1268, BUS, "16位总线", true},          {1269, CHECK, "双DIE", true},
    {1222, INT, "每片块数", true},        {1223, INT, "每块页数", true},          {1224, INT, "每页扇区数", true},
    {1225, INT, "列周期", true},          {1226, INT, "行周期", true},            {1230, INT, "", false},
    {1227, HEX, "速度", true},            {1228, HEX, "CacheCmd", true},          {1231, INT, "", false},
    {1232, INT, "", false},               {1233, INT, "", false},                 {1234, INT, "", false},
    {1235, HEX, "BankPrgCmd", true},      {1238, INT, "", false},                 {1239, INT, "", false},
    {1240, INT, "", false},               {1242, INT, "", false},                 {1270, CHECK, "物理回拷", false},
    {1289, CHECK, "AmdNor", false},       {1267, CHECK, "写延迟", false},         {1261, INT, "", false},
    {1262, INT, "", false},               {1263, INT, "", false},                 {1264, INT, "", false},
    {1265, HEX, "", false},               {1266, INT, "", false},                 {1258, INT, "", false},
    {1243, INT, "", false},               {1244, INT, "", false},                 {1245, INT, "", false},
    {1246, INT, "ANA_CTLB", true},        {1247, INT, "ANA_CTLC", true},          {1271, CHECK, "AGAND", true},
    {1272, CHECK, "MLC", false},          {1273, CHECK, "R5_LOW", false},         {1274, CHECK, "2CycleE2Type", false},
    {1275, CHECK, "写校验", false},       {1276, CHECK, "ECC校验", false},        {1277, CHECK, "回拷校验", false},
    {1278, CHECK, "使用FC_CYL2", false},  {1279, CHECK, "I2CPinSel", false},      {1280, CHECK, "BuildRpZone", false},
    {1281, CHECK, "SetError", false},     {1285, CHECK, "Log2Phy", false},        {1290, CHECK, "SpeedLow", true},
    {1284, CHECK, "复位允许", true},      {1286, CHECK, "BootLoadEn", true},      {1287, CHECK, "LogRdRstEn", true},
    {1288, CHECK, "LogWrRstEn", true},    {1296, CHECK, "速度调整使能", true},    {1298, CHECK, "RAND允许", true},
    {1297, CHECK, "FCWT", false},         {1302, HEX, "", false},                 {1249, INT, "SoftChkTime", true},
    {1248, INT, "SoftErrNum", true},      {1241, INT, "MaxPlaneNum", true},       {1253, INT, "MaxIntlvNum", true},
    {1255, INT, "RowInc2Plane", true},    {1256, INT, "RowInc2Intlv", true},      {1257, INT, "RowInc2NxtPne", true},
    {0, NONE, "", false},                 {1321, INT, "IntlvRdcmd0", true},       {1322, INT, "IntlvRdcmd1", true},
    {1319, CHECK, "MultiPlaneEN", false}, {2011, INT, "ANA_CTLD", true},          {1236, HEX, "NxtSentCmd", true},
    {1250, INT, "EraseCnt", true},        {1251, INT, "wEraseIncRowNum", true},   {1252, INT, "ANA_CTL", true},
    {1282, CHECK, "EraseMode", true},     {1283, CHECK, "toshibaMp", true},
};
static_assert(std::size(KEY_CONTROLS) == usb::FLASH_PROFILE_KEY_COUNT);

constexpr char PART_NUMBER[] = "PartNumber";
constexpr char NO_PART[] = "NONE";
constexpr unsigned TEXT_SIZE = 512;
constexpr unsigned SECTION_NAMES_SIZE = 1024 * 1024;
constexpr int VALUE_COLUMNS = 4;
constexpr int LIST_WIDTH = 280;
constexpr int SHEET_WIDTH = 775;
constexpr int SHEET_HEIGHT = 560;
// English captions take more room below the pages.
constexpr int SHEET_HEIGHT_ENGLISH = 615;

std::string keyName(int index) { return QString::fromWCharArray(usb::FlashProfileKeys[index]).toStdString(); }

std::string narrow(const QString& text) { return utils::toAnsi(text); }

void tell(const char* key) { mfc::AfxMessageBox(MavikLang::text(key), mfc::MB_OK); }

}  // namespace

CFlashConfigPage::CFlashConfigPage(QWidget* parent)
    : PageConfig("FlashConfigTab", parent), m_fileName(schema::UsbConfiguration::instance()->getFlashFileName())
{
    auto* row = new QHBoxLayout(this);
    m_list = new QTreeWidget;
    m_list->setColumnCount(2);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMinimumWidth(LIST_WIDTH);
    m_list->setStyleSheet("QTreeWidget { background: #FFFFFF; } QTreeWidget::item { background: #B4B4B4; }");
    addControl(IDC_LIST, m_list);
    row->addWidget(m_list);

    auto* column = new QVBoxLayout;
    row->addLayout(column, 1);
    auto* identity = new QGridLayout;
    identity->addWidget(new QLabel(QString::fromUtf8("闪存型号")), 0, 0);
    identity->addWidget(new QLineEdit, 0, 1);
    identity->addWidget(new QLabel(QString::fromUtf8("闪存ID")), 0, 2);
    identity->addWidget(new QLineEdit, 0, 3);
    addControl(IDC_MODEL, identity->itemAtPosition(0, 1)->widget());
    addControl(IDC_FLASH_ID, identity->itemAtPosition(0, 3)->widget());
    column->addLayout(identity);

    auto* values = new QGridLayout;
    int shown = 0;
    for (const KeyControl& key : KEY_CONTROLS) {
        QWidget* control = nullptr;
        QString label = QString::fromUtf8(key.label);
        if (key.kind == NONE) {
            continue;
        }
        if (key.kind == TYPE) {
            auto* types = new QComboBox;
            types->setPlaceholderText(" ");
            control = types;
        } else if (key.kind == BUS || key.kind == CHECK) {
            control = new QCheckBox(label);
            label.clear();
        } else {
            control = new QLineEdit;
        }
        control->setParent(this);
        addControl(key.id, control);
        if (!key.visible) {
            control->hide();
            continue;
        }
        const int at = shown++;
        auto* cell = new QHBoxLayout;
        if (!label.isEmpty()) {
            cell->addWidget(new QLabel(label));
        }
        cell->addWidget(control, 1);
        values->addLayout(cell, at / VALUE_COLUMNS, at % VALUE_COLUMNS);
    }
    column->addLayout(values);
    column->addStretch();

    auto* buttons = new QHBoxLayout;
    const std::pair<int, const char*> captions[] = {
        {IDC_ADD, "添加"}, {IDC_DELETE, "删除"}, {IDC_MODIFY, "修改"}, {IDC_RETURN, "返回"}};
    for (const auto& [id, caption] : captions) {
        auto* button = new QPushButton(QString::fromUtf8(caption));
        addControl(id, button);
        buttons->addWidget(button);
    }
    column->addLayout(buttons);
    connect(static_cast<QPushButton*>(GetDlgItem(IDC_ADD)), &QPushButton::clicked, this, [this] { OnClickedAdd(); });
    connect(static_cast<QPushButton*>(GetDlgItem(IDC_DELETE)), &QPushButton::clicked, this,
            [this] { OnClickedDelete(); });
    connect(static_cast<QPushButton*>(GetDlgItem(IDC_MODIFY)), &QPushButton::clicked, this,
            [this] { OnClickedModify(); });
    connect(static_cast<QPushButton*>(GetDlgItem(IDC_RETURN)), &QPushButton::clicked, this,
            [this] { showFirstPage(); });
    connect(m_list, &QTreeWidget::itemClicked, this, [this] { OnClickList(); });
}

bool CFlashConfigPage::OnInitDialog()
{
    fillList();
    static_cast<QComboBox*>(GetDlgItem(1237))->addItems({"NAND", "AND", "NOR", "E2PROM"});
    static_cast<QComboBox*>(GetDlgItem(1237))->setCurrentIndex(-1);
    setInitialised();
    return true;
}

void CFlashConfigPage::fillList()
{
    m_list->setHeaderLabels({MavikLang::text("Flash Model        "), MavikLang::text("Flash ID")});
    std::vector<char> names(SECTION_NAMES_SIZE);
    GetPrivateProfileSectionNamesA(names.data(), SECTION_NAMES_SIZE, m_fileName.c_str());
    for (const char* name = names.data(); *name != '\0'; name += std::strlen(name) + 1) {
        const QString section = utils::fromAnsi(name);
        const QString model = readPartNumber(section);
        if (!model.isEmpty()) {
            insertRow(model, section);
        }
    }
    m_list->header()->resizeSections(QHeaderView::ResizeToContents);
}

QString CFlashConfigPage::readPartNumber(const QString& section)
{
    char text[TEXT_SIZE] = {};
    GetPrivateProfileStringA(narrow(section).c_str(), PART_NUMBER, NO_PART, text, TEXT_SIZE, m_fileName.c_str());
    return utils::fromAnsi(text);
}

void CFlashConfigPage::writePartNumber(const QString& section, const QString& model)
{
    // An unwritable file leaves the list as edited.
    (void)WritePrivateProfileStringA(narrow(section).c_str(), PART_NUMBER, narrow(model).c_str(), m_fileName.c_str());
}

QTreeWidgetItem* CFlashConfigPage::insertRow(const QString& model, const QString& id)
{
    int at = 0;
    while (at < m_list->topLevelItemCount() &&
           m_list->topLevelItem(at)->text(0).compare(model, Qt::CaseInsensitive) <= 0) {
        ++at;
    }
    auto* item = new QTreeWidgetItem(QStringList{model, id});
    m_list->insertTopLevelItem(at, item);
    return item;
}

void CFlashConfigPage::loadProfile(const QString& section)
{
    const std::string name = narrow(section);
    for (int i = 0; i < usb::FLASH_PROFILE_KEY_COUNT; ++i) {
        const KeyControl& key = KEY_CONTROLS[i];
        const unsigned value = GetPrivateProfileIntA(name.c_str(), keyName(i).c_str(), 0, m_fileName.c_str());
        QWidget* control = GetDlgItem(key.id);
        switch (key.kind) {
        case TYPE: static_cast<QComboBox*>(control)->setCurrentIndex(static_cast<int>(value)); break;
        case BUS: static_cast<QCheckBox*>(control)->setChecked(value == 16); break;
        case CHECK: static_cast<QCheckBox*>(control)->setChecked(value != 0); break;
        case INT: SetDlgItemText(key.id, QString::number(value)); break;
        case HEX: SetDlgItemText(key.id, "0x" + QString::number(value, 16)); break;
        case NONE: break;
        }
    }
}

void CFlashConfigPage::writeProfile(const QString& section)
{
    const std::string name = narrow(section);
    for (int i = 0; i < usb::FLASH_PROFILE_KEY_COUNT; ++i) {
        const KeyControl& key = KEY_CONTROLS[i];
        QWidget* control = GetDlgItem(key.id);
        QString text;
        switch (key.kind) {
        case TYPE: text = QString::number(static_cast<QComboBox*>(control)->currentIndex()); break;
        case BUS: text = static_cast<QCheckBox*>(control)->isChecked() ? "16" : "8"; break;
        case CHECK: text = static_cast<QCheckBox*>(control)->isChecked() ? "1" : "0"; break;
        // A hidden edit of a chip not yet loaded is empty.
        case INT: text = QString::number(parseNumber(GetDlgItemText(key.id)).value_or(0)); break;
        case HEX: text = GetDlgItemText(key.id); break;
        case NONE: text = "0"; break;
        }
        // An unwritable file leaves the list as edited.
        (void)WritePrivateProfileStringA(name.c_str(), keyName(i).c_str(), narrow(text).c_str(), m_fileName.c_str());
    }
}

bool CFlashConfigPage::checkNumbers()
{
    // What the chip table's reader takes, as it takes it: 32 bits, no sign.
    constexpr int64_t maximum = UINT32_MAX;
    for (const KeyControl& key : KEY_CONTROLS) {
        // An edit left empty gives no value: a new chip's reads as 0.
        if (!key.visible || (key.kind != INT && key.kind != HEX) || GetDlgItemText(key.id).trimmed().isEmpty()) {
            continue;
        }
        if (!takeNumber(*this, key.id, {0, maximum, key.kind == HEX}, QString::fromUtf8(key.label))) {
            GetDlgItem(key.id)->setFocus();
            return false;
        }
    }
    return true;
}

bool CFlashConfigPage::checkLengths(const QString& id, const QString& model)
{
    if (id.size() > ID_LIMIT) {
        tell("Message:Flash ID Length Can Not Excess 12 Character,Please Setting Over Again!");
        return false;
    }
    if (model.size() > MODEL_LIMIT) {
        tell("Message:Flash Model Length Can Not Excess 12 Character,Please Setting Over Again!");
        return false;
    }
    return true;
}

void CFlashConfigPage::OnClickedAdd()
{
    const QString id = GetDlgItemText(IDC_FLASH_ID);
    if (id.isEmpty()) {
        tell("Message: Flash ID Can Not Be NULL!");
        return;
    }
    const QString model = GetDlgItemText(IDC_MODEL);
    if (!checkLengths(id, model) || !checkNumbers()) {
        return;
    }
    writePartNumber(id, model);
    writeProfile(id);
    insertRow(model, id);
    tell("Message:FLASH Information Add Success!");
}

void CFlashConfigPage::OnClickedDelete()
{
    QTreeWidgetItem* row = m_list->currentItem();
    if (row == nullptr) {
        return;
    }
    const QString id = row->text(1);
    if (id.isEmpty()) {
        tell("Message: Invalid Flash Chip!");
        return;
    }
    if (mfc::AfxMessageBox(MavikLang::text("Message: Confirm Delete Flash Config?"),
                           mfc::MB_YESNO | mfc::MB_ICONEXCLAMATION) != mfc::IDYES) {
        return;
    }
    // An unwritable file leaves the list as edited.
    (void)WritePrivateProfileStringA(narrow(id).c_str(), nullptr, nullptr, m_fileName.c_str());
    delete row;
    tell("Message:FLASH Information Delete Success!");
}

void CFlashConfigPage::OnClickedModify()
{
    const QString id = GetDlgItemText(IDC_FLASH_ID);
    if (id.size() > ID_LIMIT) {
        tell("Message:Flash ID Length Can Not Excess 12 Character,Please Setting Over Again!");
        return;
    }
    if (id.isEmpty()) {
        tell("Message: Invalid Flash Chip!");
        return;
    }
    const QString model = GetDlgItemText(IDC_MODEL);
    QTreeWidgetItem* row = m_list->currentItem();
    if (!checkLengths(id, model) || row == nullptr || !checkNumbers()) {
        return;
    }
    if (row->text(1) != id || row->text(0) != model) {
        // An unwritable file leaves the list as edited.
        (void)WritePrivateProfileStringA(narrow(row->text(1)).c_str(), nullptr, nullptr, m_fileName.c_str());
        row->setText(0, model);
        row->setText(1, id);
    }
    writePartNumber(id, model);
    writeProfile(id);
    tell("Message:FLASH Information Update Success!");
}

void CFlashConfigPage::OnClickList()
{
    QTreeWidgetItem* row = m_list->currentItem();
    if (row == nullptr) {
        return;
    }
    const QString model = readPartNumber(row->text(1));
    if (model.isEmpty() || model == NO_PART) {
        tell("Message: Not Find Flash Config!");
        return;
    }
    SetDlgItemText(IDC_MODEL, row->text(0));
    SetDlgItemText(IDC_FLASH_ID, row->text(1));
    loadProfile(row->text(1));
}

bool CFlashConfigPage::OnSetActive()
{
    const QString currentPartNumber = uiMgr != nullptr ? uiMgr->getCurrentPartNumber() : QString();
    if (currentPartNumber.isEmpty()) {
        return true;
    }
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = m_list->topLevelItem(i);
        if (!row->text(0).startsWith(currentPartNumber, Qt::CaseInsensitive)) {
            continue;
        }
        // The row a screen below first, so the found row ends near the top.
        if (QTreeWidgetItem* below = m_list->topLevelItem(std::min(i + 20, m_list->topLevelItemCount() - 1))) {
            m_list->scrollToItem(below);
        }
        SetDlgItemText(IDC_MODEL, row->text(0));
        SetDlgItemText(IDC_FLASH_ID, row->text(1));
        loadProfile(row->text(1));
        m_list->setCurrentItem(row);
        m_list->setFocus();
        return true;
    }
    return true;
}

void CFlashConfigPage::showEvent(QShowEvent* event)
{
    PageConfig::showEvent(event);
    const int height = MavikLang::language() == utils::LANG_ENGLISH ? SHEET_HEIGHT_ENGLISH : SHEET_HEIGHT;
    if (QWidget* sheet = window(); sheet != this) {
        sheet->resize(SHEET_WIDTH, height);
    }
}

}  // namespace Tessor::page
