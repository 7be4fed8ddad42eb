#include "page/DlgLogQuery.h"

#include <QComboBox>
#include <QDir>
#include <QSpinBox>
#include <climits>

#include "page/LocaleTexts.h"
#include "platform/mfc/MessageBox.h"
#include "platform/mfc/ShellOpen.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "utils/AnsiText.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

using mfc::ControlKind;
using mfc::ControlTemplate;
using utils::MavikLang;

namespace {

const ControlTemplate TEMPLATE[] = {
    {1155, ControlKind::Label, "日志文件名称:", 10, 12, 60, 10},
    {DlgLogQuery::IDC_FILE_NAME, ControlKind::ComboEdit, "", 72, 10, 90, 14},
    {DlgLogQuery::IDC_QUERY, ControlKind::Button, "查看", 170, 10, 45, 14},
    {1158, ControlKind::Label, "日志文件大小:", 10, 34, 60, 10},
    {DlgLogQuery::IDC_SIZE, ControlKind::Edit, "", 72, 32, 70, 14},
    {DlgLogQuery::IDC_SPIN, ControlKind::Label, "", 142, 32, 10, 14},
    {1156, ControlKind::Label, "K", 154, 34, 8, 10},
    {DlgLogQuery::IDC_MODIFY_SIZE, ControlKind::Button, "修改", 170, 32, 45, 14},
    {1157, ControlKind::Label, "日志文件等级:", 10, 56, 60, 10},
    {DlgLogQuery::IDC_LEVEL, ControlKind::ComboEdit, "", 72, 54, 90, 14},
    {DlgLogQuery::IDC_MODIFY_LEVEL, ControlKind::Button, "修改", 170, 54, 45, 14},
    {mfc::IDOK, ControlKind::Button, "退出", 170, 80, 45, 14},
};

const char* const LEVEL_NAMES[] = {"EMERG",  "ALERT", "CRIT",  "ERR",         "WARNING",    "NOTICE",
                                   "INFO",   "DEBUG", "DEBUG_STACK", "DEBUG_OPER", "DEBUG_HB"};
constexpr int LEVELS = 11;
constexpr int DEFAULT_LEVEL = 4;
constexpr int BYTES_PER_K = 1000;

QComboBox* combo(const mfc::CDialog& dialog, int id) { return static_cast<QComboBox*>(dialog.GetDlgItem(id)); }

}  // namespace

DlgLogQuery::DlgLogQuery(QWidget* parent) : CDialog(parent)
{
    setWindowFlags(Qt::Dialog);
    setWindowTitle(QString::fromUtf8("量产日志文件查询"));
    createControls(TEMPLATE);
    // The up-down control beside the size edit writes its value there.
    auto* spin = new QSpinBox(this);
    spin->setGeometry(GetDlgItem(IDC_SPIN)->geometry());
    spin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    spin->setRange(0, 1000);
    spin->setAccelerated(true);
    delete GetDlgItem(IDC_SPIN);
    addControl(IDC_SPIN, spin);
    connect(spin, &QSpinBox::valueChanged, this, [this](int value) { SetDlgItemInt(IDC_SIZE, value); });
    setFixedSize(dluToPixels(225), dluToPixels(104));
    onClicked(IDC_QUERY, [this] { OnClickedQuery(); });
    onClicked(IDC_MODIFY_SIZE, [this] { OnClickedModifySize(); });
    onClicked(IDC_MODIFY_LEVEL, [this] { OnClickedModifyLevel(); });
    onClicked(mfc::IDOK, [this] { EndDialog(mfc::IDOK); });
}

bool DlgLogQuery::OnInitDialog()
{
    const QString name = QString::fromLocal8Bit(schema::UsbConfiguration::instance()->getLogFilename().c_str());
    const QString shown = name.right(8);
    combo(*this, IDC_FILE_NAME)->addItems({shown, shown + ".log"});
    combo(*this, IDC_FILE_NAME)->setCurrentIndex(0);
    for (const char* level : LEVEL_NAMES) {
        combo(*this, IDC_LEVEL)->addItem(QString::fromLatin1(level));
    }
    combo(*this, IDC_LEVEL)->setCurrentIndex(0);
    SetDlgItemInt(IDC_SIZE, 0);
    setWindowTitle(MavikLang::text("Query the Log Files"));
    static const ControlText texts[] = {{1155, "Log File Name:"}, {IDC_QUERY, "Query"},
                                        {1158, "Log File Size:"}, {IDC_MODIFY_SIZE, "Modify"},
                                        {1157, "Log Grade:"},     {IDC_MODIFY_LEVEL, "Modify"},
                                        {mfc::IDOK, "Exit"}};
    setLocaleTexts(*this, texts);
    return true;
}

QString DlgLogQuery::logFilePath(const QString& name)
{
    return QDir::isAbsolutePath(name) ? name : QDir::current().filePath(name);
}

void DlgLogQuery::OnClickedQuery()
{
    const int item = combo(*this, IDC_FILE_NAME)->currentIndex();
    if (item != 0 && item != 1) {
        return;
    }
    const QString path =
        logFilePath(QString::fromLocal8Bit(schema::UsbConfiguration::instance()->getLogFilename().c_str()));
    // The viewer shows every line logged up to now.
    schema::flushLog();
    mfc::ShellOpen(item == 0 ? path : path + ".log");
}

void DlgLogQuery::OnClickedModifySize()
{
    const int size = GetDlgItemInt(IDC_SIZE);
    if (size <= 0 || size > INT_MAX / BYTES_PER_K) {
        mfc::AfxMessageBox(QString("%1 %2K!").arg(MavikLang::text("The log file size cannot be")).arg(size));
        return;
    }
    const int bytes = size * BYTES_PER_K;
    schema::UsbConfiguration::instance()->setLogSize(bytes);
    schema::setLogSizeLimit(bytes);
    mfc::AfxMessageBox(QString("%1 %2 %3!")
                           .arg(MavikLang::text("Modify File"), GetDlgItemText(IDC_FILE_NAME), MavikLang::text("OK")),
                       mfc::MB_OK);
}

void DlgLogQuery::OnClickedModifyLevel()
{
    const int item = combo(*this, IDC_LEVEL)->currentIndex();
    const int level = item >= 0 && item < LEVELS ? item : DEFAULT_LEVEL;
    schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
    config->setLogLevel(level);
    schema::setLogLevel(config->getLogLevel());
    mfc::AfxMessageBox(
        QString("%1 %2!").arg(MavikLang::text("Set Log Level as"), QString::fromLatin1(LEVEL_NAMES[level])));
}

}  // namespace Tessor::page
