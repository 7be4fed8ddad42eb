#include "page/PageDpfControlSetting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include "page/CDlgGetPath.h"
#include "page/DpfResourceBitmaps.h"
#include "page/PositionBounds.h"
#include "platform/mfc/FileDialog.h"
#include "platform/mfc/MessageBox.h"
#include "platform/mfc/UpDownEdit.h"
#include "platform/pelt/BmpBin.h"
#include "utils/AnsiText.h"
#include "platform/orrin/CodePage.h"
#include "utils/DpfDefaultFolders.h"
#include "platform/pelt/DeviceImage.h"
#include "utils/DpfImage.h"
#include "utils/FolderContents.h"
#include "platform/orrin/HostPath.h"
#include "utils/MenuWordTables.h"

namespace Tessor::page {

using schema::DpfHwControl;
using schema::DpfStateControl;

namespace {

QString utf8(const char* text) { return QString::fromUtf8(text); }

struct SwitchRow {
    const char* caption;
    bool DpfStateControl::*field;
};

const SwitchRow kSwitches[PageDpfControlSetting::SWITCHES] = {
    {"是否自动切换图片", &DpfStateControl::SlideEn},     {"是否自动连接USB", &DpfStateControl::AutoUsbEn},
    {"是否显示OSD", &DpfStateControl::OsdEn},            {"是否使用闹钟", &DpfStateControl::AlarmEn},
    {"是否有按键音", &DpfStateControl::BeepEn},          {"是否使用长按开机", &DpfStateControl::KeyStartEn},
    {"是否按键左右交换", &DpfStateControl::KeyUpDnSwEn}, {"是否秒表按键左右交换", &DpfStateControl::KeyWatchSwEn},
};

struct SliderRow {
    int slider;
    int edit;
    const char* label;
    uint8_t DpfHwControl::*field;
    int minimum;
    int maximum;
    int fallback;
};

const SliderRow kSliders[] = {
    {PageDpfControlSetting::IDC_MOVIE_LEN_SLIDER, 1259, "开机动画图片数:", &DpfHwControl::LogoMovieLen, 2, 16, 2},
    {PageDpfControlSetting::IDC_LOGO_TIME_SLIDER, 1266, "开机画面时间:", &DpfHwControl::LogoVal, 0, 200, 0},
};

// The main menu's entries in fixed order; the exit entry is always shown.
utils::MenuItemRecord g_mainMenuItems[] = {
    {1, 1, L"时钟菜单", L"时钟菜单"}, {1, 2, L"图片菜单", L"图片菜单"}, {1, 3, L"电子书菜单", L"电子书菜单"},
    {1, 4, L"设置菜单", L"设置菜单"}, {1, 5, L"退出菜单", L"退出菜单"},
};

struct PositionRow {
    int upDown;
    int edit;
    const char* label;
    int item;   // 4 time, 5 date
    bool left;  // X (left) or Y (top)
    int maximum;  // set by the preview: the text stays on the screen
};

using R = DpfResourceBitmaps;
const PositionRow kPositions[] = {
    {PageDpfControlSetting::IDC_TIME_X, 1272, "时间X坐标:", 4, true,
     2 * (63 - R::SMALL_CELL.width()) - 5 * R::LARGE_CELL.width()},
    {PageDpfControlSetting::IDC_TIME_Y, 1275, "时间Y坐标:", 4, false, 126 - R::LARGE_CELL.height()},
    {PageDpfControlSetting::IDC_DATE_X, 1015, "日期X坐标:", 5, true, 126 - 15 * R::SMALL_CELL.width()},
    {PageDpfControlSetting::IDC_DATE_Y, 1016, "日期Y坐标:", 5, false, 142 - R::SMALL_CELL.height()},
};

}  // namespace

PageDpfControlSetting::PageDpfControlSetting(QWidget* parent) : PageConfig("DpfControlSettingTab", parent)
{
    clock = [] { return QDateTime::currentDateTime(); };
    chooseFolder = [this] {
        CDlgGetPath dialog(this);
        return dialog.DoModal() == mfc::IDOK ? dialog.getPath() : QString();
    };
    m_mainMenu = std::make_unique<DpfMenuEditor>(
        DpfMenuDescription{0, g_mainMenuItems, 5, {0, 1, 2, 3, 5}, {0, 1, 2, 3}, -1});
    buildControls();
}

void PageDpfControlSetting::buildControls()
{
    auto* layout = new QGridLayout(this);
    auto* switches = new QGroupBox(utf8("开关设置"), this);
    auto* switchLayout = new QGridLayout(switches);
    for (int i = 0; i < SWITCHES; ++i) {
        auto* box = new QCheckBox(utf8(kSwitches[i].caption), switches);
        addControl(IDC_SWITCH[size_t(i)], box);
        switchLayout->addWidget(box, i / 2, i % 2);
        connect(box, &QCheckBox::clicked, this, [this, i] { OnSwitchClicked(i); });
    }
    const struct {
        int id;
        const char* label;
    } combos[] = {{IDC_DATE_MODE, "数字年月日模式:"}, {IDC_LANGUAGE, "数码相框语言设置:"},
                  {IDC_STOPWATCH, "秒表精度设置:"},   {IDC_KEY_PIN, "按键管脚分配种类:"},
                  {IDC_STARTUP, "开机界面设置:"}};
    int line = SWITCHES / 2;
    for (const auto& combo : combos) {
        auto* box = new QComboBox(switches);
        addControl(combo.id, box);
        switchLayout->addWidget(new QLabel(utf8(combo.label), switches), line, 0);
        switchLayout->addWidget(box, line++, 1);
        const int id = combo.id;
        connect(box, &QComboBox::activated, this, [this, id] { OnComboChanged(id); });
    }
    for (const SliderRow& row : kSliders) {
        auto* slider = new QSlider(Qt::Horizontal, switches);
        slider->setMinimumWidth(120);
        auto* edit = new QLineEdit(switches);
        edit->setReadOnly(true);
        addControl(row.slider, slider);
        addControl(row.edit, edit);
        switchLayout->addWidget(new QLabel(utf8(row.label), switches), line, 0);
        switchLayout->addWidget(edit, line, 1);
        switchLayout->addWidget(slider, line++, 2);
        const int id = row.slider;
        connect(slider, &QSlider::valueChanged, this, [this, id] { OnSliderMoved(id); });
    }
    layout->addWidget(switches, 0, 0);

    auto* positions = new QGroupBox(utf8("数码相框高级设置"), this);
    auto* positionLayout = new QGridLayout(positions);
    line = 0;
    for (const PositionRow& row : kPositions) {
        auto* box = new mfc::UpDownEdit(positions);
        box->setRange(0, 127);
        addControl(row.upDown, box);
        addControl(row.edit, box);
        positionLayout->addWidget(new QLabel(utf8(row.label), positions), line, 0);
        positionLayout->addWidget(box, line++, 1);
        const int id = row.upDown;
        connect(box, &QSpinBox::valueChanged, this, [this, id] { OnPositionChanged(id); });
    }
    auto* previewBox = new QGroupBox(utf8("数字时钟预览"), positions);
    auto* previewLayout = new QGridLayout(previewBox);
    m_preview = new QLabel(previewBox);
    m_preview->setFixedSize(pelt::DPF_SCREEN_SIZE, pelt::DPF_SCREEN_SIZE);
    previewLayout->addWidget(m_preview);
    positionLayout->addWidget(previewBox, 0, 2, line, 1);
    layout->addWidget(positions, 0, 1);

    auto* menu = new QGroupBox(utf8("主菜单定制"), this);
    auto* menuLayout = new QGridLayout(menu);
    m_checks = new QListWidget(menu);
    m_order = new QListWidget(menu);
    m_order->setDragDropMode(QAbstractItemView::InternalMove);
    auto* exit = new QComboBox(menu);
    addControl(IDC_MAIN_MENU, m_checks);
    addControl(IDC_MAIN_ORDER, m_order);
    addControl(IDC_MAIN_EXIT, exit);
    menuLayout->addWidget(m_checks, 0, 0, 1, 2);
    menuLayout->addWidget(m_order, 0, 2);
    menuLayout->addWidget(new QLabel(utf8("退出模式:"), menu), 1, 0);
    menuLayout->addWidget(exit, 1, 1);
    layout->addWidget(menu, 1, 0);
    connect(m_checks, &QListWidget::itemChanged, this, [this] {
        if (!m_filling) {
            OnClbnChkchangeMainMenu();
        }
    });
    connect(m_order->model(), &QAbstractItemModel::rowsMoved, this, [this] {
        if (!m_filling) {
            OnLbnKillfocusMainOrder();
        }
    });
    connect(exit, &QComboBox::activated, this, [this] { OnCbnSelchangeMainExit(); });

    auto* logo = new QGroupBox(utf8("LOGO设置"), this);
    auto* logoLayout = new QGridLayout(logo);
    const struct {
        int edit;
        int button;
        const char* label;
        void (PageDpfControlSetting::*handler)();
    } folders[] = {{IDC_LOGO_PATH, IDC_LOGO_BROWSE, "开机图片位置:", &PageDpfControlSetting::OnBnClickedBrowseLogo},
                   {IDC_MOVIE_PATH, IDC_MOVIE_BROWSE, "开机动画图片文件夹:",
                    &PageDpfControlSetting::OnBnClickedBrowseMovieFolder},
                   {IDC_PHOTO_PATH, IDC_PHOTO_BROWSE, "初始化图片文件夹:",
                    &PageDpfControlSetting::OnBnClickedBrowsePhotoFolder}};
    line = 0;
    for (const auto& folder : folders) {
        auto* edit = new QLineEdit(logo);
        edit->setReadOnly(true);
        auto* button = new QPushButton(utf8("．．．"), logo);
        addControl(folder.edit, edit);
        addControl(folder.button, button);
        logoLayout->addWidget(new QLabel(utf8(folder.label), logo), line, 0);
        logoLayout->addWidget(edit, line, 1);
        logoLayout->addWidget(button, line++, 2);
        const auto handler = folder.handler;
        connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    }
    layout->addWidget(logo, 1, 1);
}

QSpinBox* PageDpfControlSetting::upDown(int id) const { return static_cast<QSpinBox*>(GetDlgItem(id)); }

std::string PageDpfControlSetting::workPath(const std::string& relative) const
{
    const std::string workDir = CodePage::fromUtf8(holder->getWorkDir());
    return workDir.empty() ? relative : workDir + "\\" + relative;
}

bool PageDpfControlSetting::OnInitDialog()
{
    m_dpfConfig = holder->getConfigInfo()->getDpfConfig();
    Sptr<DpfStateControl> state = m_dpfConfig->getStateControl();
    for (int i = 0; i < SWITCHES; ++i) {
        static_cast<QCheckBox*>(GetDlgItem(IDC_SWITCH[size_t(i)]))->setChecked((*state).*kSwitches[i].field);
    }
    const struct {
        int id;
        const utils::MenuOptionRecord* options;
        int selected;
    } combos[] = {{IDC_LANGUAGE, utils::DpfLanguageOptions, state->LguageSel},
                  {IDC_STOPWATCH, utils::DpfSecondsOptions, state->WatchMode ? 1 : 0},
                  {IDC_DATE_MODE, utils::DpfDateOrderOptions, state->DclkMode},
                  {IDC_KEY_PIN, utils::DpfStyleOptions, state->KeyPinType}};
    for (const auto& combo : combos) {
        auto* box = static_cast<QComboBox*>(GetDlgItem(combo.id));
        for (const std::wstring& text : utils::optionTexts(combo.options)) {
            box->addItem(QString::fromStdWString(text));
        }
        box->setCurrentIndex(combo.selected < box->count() ? combo.selected : -1);
    }
    auto* startup = static_cast<QComboBox*>(GetDlgItem(IDC_STARTUP));
    for (const std::wstring& text : utils::startupOptionTexts()) {
        startup->addItem(QString::fromStdWString(text));
    }
    startup->setCurrentIndex(utils::startupIndexOfCode(state->LogoSel));
    SetDlgItemText(IDC_LOGO_PATH, utils::fromAnsi(m_dpfConfig->getStartPicPath()));
    SetDlgItemText(IDC_MOVIE_PATH, utils::fromAnsi(m_dpfConfig->getHome4Movie()));

    Sptr<DpfHwControl> hw = m_dpfConfig->getHwControl();
    for (const SliderRow& row : kSliders) {
        auto* slider = static_cast<QSlider*>(GetDlgItem(row.slider));
        const int stored = (*hw).*row.field;
        slider->setRange(row.minimum, row.maximum);
        slider->setValue(stored >= row.minimum && stored <= row.maximum ? stored : row.fallback);
        OnSliderMoved(row.slider);
    }

    m_mainMenu->rebuild(m_dpfConfig, 0);
    m_filling = true;
    for (size_t i = 0; i < m_mainMenu->checks().size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdWString(m_mainMenu->caption(int(i), 0)), m_checks);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(m_mainMenu->checks()[i] ? Qt::Checked : Qt::Unchecked);
    }
    for (const std::wstring& caption : m_mainMenu->order()) {
        m_order->addItem(QString::fromStdWString(caption));
    }
    m_filling = false;
    auto* exit = static_cast<QComboBox*>(GetDlgItem(IDC_MAIN_EXIT));
    exit->addItems({utf8("返回上一级"), utf8("退出到图片")});
    exit->setCurrentIndex(m_dpfConfig->getMenuCfg()->getMenuList(0)->getStyle());
    return true;
}

void PageDpfControlSetting::showEvent(QShowEvent* event)
{
    PageConfig::showEvent(event);
    // The positions as stored, then the preview (which bounds them).
    for (const PositionRow& row : kPositions) {
        const schema::ItemCoordinate* at = m_dpfConfig->getCoordinate(row.item);
        const QSignalBlocker quiet(upDown(row.upDown));
        upDown(row.upDown)->setValue(static_cast<int16_t>(row.left ? at->Left : at->Top));
    }
    refreshPreview();
    if (window() != this) {
        window()->resize(900, 610);
    }
}

void PageDpfControlSetting::OnSwitchClicked(int index)
{
    const auto edit = schema::DpfConfig::lockEdits();
    (*m_dpfConfig->getStateControl()).*kSwitches[index].field =
        static_cast<QCheckBox*>(GetDlgItem(IDC_SWITCH[size_t(index)]))->isChecked();
}

void PageDpfControlSetting::OnComboChanged(int id)
{
    Sptr<DpfStateControl> state = m_dpfConfig->getStateControl();
    const int index = static_cast<QComboBox*>(GetDlgItem(id))->currentIndex();
    const auto edit = schema::DpfConfig::lockEdits();
    switch (id) {
    case IDC_DATE_MODE:
        state->DclkMode = index;
        refreshPreview();
        break;
    case IDC_LANGUAGE:
        state->LguageSel = index;
        break;
    case IDC_STOPWATCH:
        state->WatchMode = index != 0;
        break;
    case IDC_KEY_PIN:
        state->KeyPinType = index;
        break;
    default:
        state->LogoSel = utils::startupCodeOfIndex(index, state->LogoSel);
        break;
    }
}

void PageDpfControlSetting::OnSliderMoved(int id)
{
    if (!m_dpfConfig) {
        return;
    }
    for (const SliderRow& row : kSliders) {
        if (row.slider == id) {
            const int value = static_cast<QSlider*>(GetDlgItem(id))->value();
            SetDlgItemText(row.edit, QString::number(value));
            const auto edit = schema::DpfConfig::lockEdits();
            (*m_dpfConfig->getHwControl()).*row.field = static_cast<uint8_t>(value);
        }
    }
}

void PageDpfControlSetting::OnPositionChanged(int id)
{
    if (!m_dpfConfig) {
        return;
    }
    refreshPreview();
    for (const PositionRow& row : kPositions) {
        if (row.upDown == id) {
            const auto edit = schema::DpfConfig::lockEdits();
            schema::ItemCoordinate* at = m_dpfConfig->getCoordinate(row.item);
            (row.left ? at->Left : at->Top) = upDown(id)->value();
        }
    }
}

void PageDpfControlSetting::refreshPreview()
{
    // Bounded first, so the preview draws the positions that are stored.
    for (const PositionRow& row : kPositions) {
        schema::ItemCoordinate* at = m_dpfConfig->getCoordinate(row.item);
        boundPosition(upDown(row.upDown), row.maximum, row.left ? at->Left : at->Top);
    }
    m_preview->setPixmap(QPixmap::fromImage(drawClockPreview(upDown(IDC_DATE_X)->value(), upDown(IDC_DATE_Y)->value(),
                                                             upDown(IDC_TIME_X)->value(), upDown(IDC_TIME_Y)->value())));
}

QImage PageDpfControlSetting::drawClockPreview(int dateX, int dateY, int timeX, int timeY)
{
    ++m_previews;
    QImage screen = R::frameScreen();
    QPainter painter(&screen);
    const QDateTime now = clock();
    R::drawCells(painter, timeX, timeY, now.toString("HH:mm"), R::largeDigits(), R::LARGE_CELL, ':');
    R::drawCells(painter, timeX + 5 * R::LARGE_CELL.width(),
              timeY + R::LARGE_CELL.height() - R::SMALL_CELL.height() + 16, now.toString("ss"), R::smallDigits(),
              R::SMALL_CELL, '/', 16);
    const int order = static_cast<QComboBox*>(GetDlgItem(IDC_DATE_MODE))->currentIndex();
    const QString date = now.toString(order == 1 ? "MM/dd/yyyy" : order == 2 ? "dd/MM/yyyy" : "yyyy/MM/dd");
    R::drawCells(painter, dateX, dateY, date, R::smallDigits(), R::SMALL_CELL, '/');
    return screen;
}

void PageDpfControlSetting::OnClbnChkchangeMainMenu()
{
    std::vector<int> checks;
    for (int i = 0; i < m_checks->count(); ++i) {
        checks.push_back(m_checks->item(i)->checkState() == Qt::Checked ? 1 : 0);
    }
    m_mainMenu->checksChanged(m_dpfConfig, checks, 0);
    m_filling = true;
    m_order->clear();
    for (const std::wstring& caption : m_mainMenu->order()) {
        m_order->addItem(QString::fromStdWString(caption));
    }
    m_filling = false;
    m_mainMenu->updateSubFunctions(m_dpfConfig);
}

void PageDpfControlSetting::OnLbnKillfocusMainOrder()
{
    std::vector<std::wstring> order;
    for (int i = 0; i < m_order->count(); ++i) {
        order.push_back(m_order->item(i)->text().toStdWString());
    }
    m_mainMenu->orderChanged(m_dpfConfig, order, 0);
    m_mainMenu->updateSubFunctions(m_dpfConfig);
}

void PageDpfControlSetting::OnCbnSelchangeMainExit()
{
    m_mainMenu->setExitStyle(m_dpfConfig, static_cast<QComboBox*>(GetDlgItem(IDC_MAIN_EXIT))->currentIndex());
}

void PageDpfControlSetting::OnBnClickedBrowseLogo()
{
    const QString chosen = mfc::fileDialogService()->openFile(
        "BMP|*.bmp|JPEG|*.jpg|GIF|*.gif|PNG|*.png|TIF|*.tif|RLE|*.rle|DIB|*.dib|WMF|*.WMF|EMF|*.EMF|ICO|*.ico||", ".img");
    if (chosen.isEmpty()) {
        return;
    }
    SetDlgItemText(IDC_LOGO_PATH, chosen);
    const std::string source = utils::toAnsi(chosen);
    {
        const auto edit = schema::DpfConfig::lockEdits();
        m_dpfConfig->SetStartPicPath(source);
    }
    pelt::ConversionRecord record;
    pelt::CBmpBin::HBMP2UsbData565(source, &record, workPath(std::string(utils::LogoFolder) + "\\Logo.img"), 1);
}

void PageDpfControlSetting::OnBnClickedBrowseMovieFolder()
{
    const QString chosen = chooseFolder();
    if (chosen.isEmpty()) {
        return;
    }
    SetDlgItemText(IDC_MOVIE_PATH, chosen);
    fillFolder(chosen, utils::MovieFolder, m_dpfConfig->getHwControl()->LogoMovieLen, schema::FILE_TYPE_MOVIE);
}

void PageDpfControlSetting::OnBnClickedBrowsePhotoFolder()
{
    const QString chosen = chooseFolder();
    if (chosen.isEmpty()) {
        return;
    }
    SetDlgItemText(IDC_PHOTO_PATH, chosen);
    fillFolder(chosen, utils::PhotoFolder, int(m_dpfConfig->getMaxImagesCount()), schema::FILE_TYPE_PHOTO);
}

void PageDpfControlSetting::fillFolder(const QString& folder, const char* target, int limit,
                                       schema::FILE_TYPE_T kind)
{
    const std::string targetFolder = workPath(target);
    utils::deleteFolderContents(targetFolder);
    std::string source = utils::toAnsi(folder);
    if (!source.empty() && source.back() != '/' && source.back() != '\\') {
        source += "\\";
    }
    std::vector<HostPath::Entry> entries;
    (void)HostPath::list(source, &entries);  // a folder that cannot be listed converts nothing
    int converted = 0;
    for (const HostPath::Entry& entry : entries) {
        if (converted >= limit) {
            break;
        }
        const size_t dot = entry.name.rfind('.');
        if (entry.folder || dot == std::string::npos) {
            continue;
        }
        const std::string extension = entry.name.substr(dot);
        if (extension != ".jpg" && extension != ".bmp" && extension != ".gif") {
            continue;
        }
        pelt::ConversionRecord record;
        pelt::CBmpBin::HBMP2UsbData565(source + entry.name, &record,
                                       targetFolder + "\\" + entry.name.substr(0, dot + 1) + "img", 1);
        ++converted;  // a picture that fails to convert still counts
    }
    // The frame's list is the converted pictures, not the pictures chosen.
    (void)m_dpfConfig->_addFileList(kind);  // a folder that cannot be listed leaves the list empty
}

}  // namespace Tessor::page
