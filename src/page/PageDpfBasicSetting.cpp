#include "page/PageDpfBasicSetting.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <cstring>
#include <new>
#include <vector>

#include "page/CColorPicker.h"
#include "page/NumberEdit.h"
#include "platform/ini/Ini.h"
#include "platform/ini/RegularFile.h"
#include "platform/mfc/FileDialog.h"
#include "platform/mfc/MessageBox.h"
#include "schema/base/Log.h"
#include "utils/AnsiText.h"
#include "utils/BmpFile.h"
#include "platform/orrin/CodePage.h"
#include "utils/DpfDefaultFolders.h"
#include "utils/EbookReflow.h"
#include "utils/FolderContents.h"
#include "utils/MavikLang.h"
#include "platform/orrin/HostPath.h"

namespace Tessor::page {

using schema::DpfHwControl;

namespace {

const char kLcdIni[] = "releases\\usr\\etc\\LCD.INI";
const char kCodeFolder[] = "releases\\code\\";
const char kActiveLcdImage[] = "VOR_6830_LCD.img";
const char kLastChoice[] = "LAST_CHOICE";
const char kLcdTypeKey[] = "LCD_TYPE";

struct SliderRow {
    int slider;
    int edit;
    const char* label;
    uint8_t DpfHwControl::*narrow;
    uint16_t DpfHwControl::*wide;
    int minimum;
    int maximum;
    int fallback;
};

const SliderRow kSliders[PageDpfBasicSetting::SLIDERS] = {
    {1048, 1258, "按键长按时间下限:", &DpfHwControl::KeyDetLong, nullptr, 40, 60, 40},
    {1049, 1260, "背光亮度（1-15）:", &DpfHwControl::BackLight, nullptr, 1, 15, 1},
    {1050, 1262, "对比度（1-12）:", &DpfHwControl::ContrastVal, nullptr, 1, 12, 1},
    {1051, 1264, "长按键翻转图片数:", &DpfHwControl::JmpPicNum, nullptr, 1, 10, 1},
    {1052, 1266, "图片切换时间（2-5）:", &DpfHwControl::SwPicVal, nullptr, 2, 5, 2},
    {1053, 1268, "自动关机时间设置:", &DpfHwControl::AutoShutVal, nullptr, 0, 30, 0},
    {1054, 1270, "空闲时间:", nullptr, &DpfHwControl::IdleVal, 400, 2000, 400},
    {1055, 1272, "响铃时间长度:", nullptr, &DpfHwControl::BeepVal, 3000, 4000, 3000},
    {1056, 1274, "闹钟声音长度:", nullptr, &DpfHwControl::AlarmLength, 500, 2000, 500},
    {1057, 1276, "声音的高电平宽度:", &DpfHwControl::HighLevel, nullptr, 1, 100, 1},
    {1058, 1278, "声音的低电平宽度:", &DpfHwControl::LowLevel, nullptr, 1, 100, 1},
    {1059, 1280, "按键声音的长度:", nullptr, &DpfHwControl::BeepLength, 100, 500, 100},
};

int fieldOf(const DpfHwControl& hw, const SliderRow& row) { return row.narrow ? hw.*row.narrow : hw.*row.wide; }

void setField(DpfHwControl& hw, const SliderRow& row, int value)
{
    if (row.narrow) {
        hw.*row.narrow = static_cast<uint8_t>(value);
    } else {
        hw.*row.wide = static_cast<uint16_t>(value);
    }
}

// The short-press limits and the alarm time take what their edits' lengths
// let the operator type, no sign.
struct NumberRow {
    int id;
    const char* label;
    int length;
    NumberRange range;
};

const NumberRow kNumbers[] = {{PageDpfBasicSetting::IDC_KEY_SHORT_MIN, "按键短按时间下限:", 1, {0, 9}},
                              {PageDpfBasicSetting::IDC_KEY_SHORT_MAX, "按键短按时间上限:", 2, {0, 99}},
                              {PageDpfBasicSetting::IDC_RESET_ALARM, "重新设置闹钟时间:", 3, {0, 999}}};

const NumberRange kMaxPhotoRange{32, 2048};

struct ColorRow {
    int picker;
    int edit;
    const char* label;
    int32_t schema::DpfStateControl::*field;
};

// In the order the colours are handed to the pickers.
const ColorRow kColors[] = {
    {PageDpfBasicSetting::IDC_BACK_PICKER, PageDpfBasicSetting::IDC_BACK_COLOR, "菜单背景色RGB值:",
     &schema::DpfStateControl::BackColour},
    {PageDpfBasicSetting::IDC_CURRENT_PICKER, PageDpfBasicSetting::IDC_CURRENT_COLOR, "菜单当前色RGB值",
     &schema::DpfStateControl::CurColour},
    {PageDpfBasicSetting::IDC_FONT_PICKER, PageDpfBasicSetting::IDC_FONT_COLOR, "菜单字体色RGB值:",
     &schema::DpfStateControl::WordColour},
};

QString utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

PageDpfBasicSetting::PageDpfBasicSetting(QWidget* parent) : PageConfig("DpfBasicSettingTab", parent)
{
    buildControls();
}

uint32_t PageDpfBasicSetting::parseHex(const QString& text)
{
    int start = 0;
    while (start < text.size() && (text[start] == '0' || text[start] == 'x')) {
        ++start;
    }
    const QString digits = text.mid(start);
    if (digits.size() > 16) {
        return 0;
    }
    uint64_t value = 0;
    for (QChar c : digits) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c.unicode() - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c.unicode() - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c.unicode() - 'a' + 10;
        } else {
            return 0;
        }
        value = (value << 4) | static_cast<uint64_t>(digit);
    }
    return static_cast<uint32_t>(value);
}

mfc::COLORREF PageDpfBasicSetting::storedToColorRef(int32_t stored)
{
    const QString text = QString::number(static_cast<uint32_t>(stored), 16).rightJustified(6, '0').right(6);
    return parseHex(text.mid(4, 2) + text.mid(2, 2) + text.mid(0, 2));
}

int32_t PageDpfBasicSetting::colorTextToStored(const QString& text)
{
    QString digits = text;
    while (digits.startsWith('#')) {
        digits.remove(0, 1);
    }
    digits = digits.right(6);
    const QString lastFour = digits.right(4);
    return static_cast<int32_t>(parseHex(digits.left(2) + lastFour.left(2) + lastFour.right(2)));
}

QString PageDpfBasicSetting::ebookOutputName(const QString& fileName)
{
    const int dot = fileName.lastIndexOf('.');
    return (dot < 0 ? fileName + "." : fileName.left(dot + 1)) + "txt";
}

void PageDpfBasicSetting::buildControls()
{
    auto* layout = new QGridLayout(this);

    auto* lcd = new QGroupBox(utf8("LCD信息设置"), this);
    auto* lcdLayout = new QGridLayout(lcd);
    m_lcdType = new QComboBox(lcd);
    addControl(IDC_LCD_TYPE, m_lcdType);
    lcdLayout->addWidget(new QLabel(utf8("LCD类型选择:"), lcd), 0, 0);
    lcdLayout->addWidget(m_lcdType, 0, 1);
    lcdLayout->addWidget(new QLabel(utf8("刷屏方式:"), lcd), 1, 0);
    auto* rotations = new QButtonGroup(this);
    const char* rotationTexts[] = {"顺时针旋转0度", "顺时针旋转90度", "顺时针旋转180度", "顺时针旋转270度"};
    for (int n = 0; n < 4; ++n) {
        auto* radio = new QRadioButton(utf8(rotationTexts[n]), lcd);
        rotations->addButton(radio, n);
        addControl(IDC_ROTATE0 + n, radio);
        lcdLayout->addWidget(radio, 2 + n, 0);
        connect(radio, &QRadioButton::clicked, this, [this, n] { OnBnClickedRotate(n); });
    }
    auto* previewGroup = new QGroupBox(utf8("预览"), lcd);
    auto* previewLayout = new QGridLayout(previewGroup);
    m_preview = new QLabel(previewGroup);
    m_preview->setFixedSize(128, 96);
    m_preview->setAlignment(Qt::AlignCenter);
    addControl(IDC_PREVIEW, m_preview);
    previewLayout->addWidget(m_preview);
    lcdLayout->addWidget(previewGroup, 1, 1, 5, 1);
    layout->addWidget(lcd, 0, 0);
    connect(m_lcdType, &QComboBox::activated, this, [this] { OnCbnSelchangeLcdType(); });

    auto* colours = new QGroupBox(utf8("菜单颜色设置"), this);
    auto* colourLayout = new QGridLayout(colours);
    int line = 0;
    for (const ColorRow& row : kColors) {
        auto* picker = new CColorPicker(colours);
        picker->setFixedSize(40, 22);
        auto* edit = new QLineEdit(colours);
        edit->setVisible(false);
        addControl(row.picker, picker);
        addControl(row.edit, edit);
        colourLayout->addWidget(new QLabel(utf8(row.label), colours), line, 0);
        colourLayout->addWidget(picker, line, 1);
        ++line;
        const int id = row.edit;
        connect(edit, &QLineEdit::textChanged, this, [this, id] { OnEnChangeMenuColor(id); });
    }
    layout->addWidget(colours, 1, 0);

    auto* values = new QGroupBox(utf8("属性设置"), this);
    auto* valueLayout = new QGridLayout(values);
    line = 0;
    for (const NumberRow& number : kNumbers) {
        auto* edit = new QLineEdit(values);
        edit->setMaxLength(number.length);
        addControl(number.id, edit);
        valueLayout->addWidget(new QLabel(utf8(number.label), values), line, 0);
        valueLayout->addWidget(edit, line++, 1);
        const int id = number.id;
        connect(edit, &QLineEdit::textChanged, this, [this, id] { OnEnChangeNumber(id); });
        connect(edit, &QLineEdit::editingFinished, this, [this, id] { OnEnKillfocusNumber(id); });
    }
    for (int row = 0; row < SLIDERS; ++row) {
        auto* slider = new QSlider(Qt::Horizontal, values);
        slider->setMinimumWidth(160);
        auto* edit = new QLineEdit(values);
        edit->setReadOnly(true);
        edit->setFixedWidth(48);
        m_sliders[size_t(row)] = slider;
        m_sliderEdits[size_t(row)] = edit;
        addControl(kSliders[row].slider, slider);
        addControl(kSliders[row].edit, edit);
        valueLayout->addWidget(new QLabel(utf8(kSliders[row].label), values), line, 0);
        valueLayout->addWidget(edit, line, 1);
        valueLayout->addWidget(slider, line++, 2);
        connect(slider, &QSlider::valueChanged, this, [this, row] { OnSliderMoved(row); });
    }
    auto* maxPhoto = new QLineEdit(values);
    addControl(IDC_MAX_PHOTO, maxPhoto);
    valueLayout->addWidget(new QLabel(utf8("最大图片数设置:"), values), line, 0);
    valueLayout->addWidget(maxPhoto, line, 1);
    connect(maxPhoto, &QLineEdit::editingFinished, this, [this] { OnEnKillfocusMaxPhotoCount(); });
    layout->addWidget(values, 0, 1, 3, 1);

    auto* ebooks = new QGroupBox(utf8("电子书设置"), this);
    auto* ebookLayout = new QGridLayout(ebooks);
    for (int slot = 0; slot < EBOOK_SLOTS; ++slot) {
        auto* path = new QLineEdit(ebooks);
        auto* browse = new QPushButton(utf8("．．．"), ebooks);
        addControl(IDC_EBOOK_PATH[size_t(slot)], path);
        addControl(IDC_EBOOK_BROWSE[size_t(slot)], browse);
        ebookLayout->addWidget(new QLabel(QString(utf8("预留TXT文本 %1:")).arg(slot + 1), ebooks), slot, 0);
        ebookLayout->addWidget(path, slot, 1);
        ebookLayout->addWidget(browse, slot, 2);
        connect(browse, &QPushButton::clicked, this, [this, slot] { OnBnClickedBrowseText(slot); });
    }
    auto* reset = new QPushButton(utf8("重置"), ebooks);
    auto* notice = new QLabel(ebooks);
    notice->setWordWrap(true);
    addControl(IDC_EBOOK_RESET, reset);
    addControl(IDC_EBOOK_NOTICE, notice);
    ebookLayout->addWidget(reset, EBOOK_SLOTS, 0);
    ebookLayout->addWidget(notice, EBOOK_SLOTS, 1, 1, 2);
    connect(reset, &QPushButton::clicked, this, [this] { OnBnClickedReset(); });
    layout->addWidget(ebooks, 2, 0);
}

CColorPicker* PageDpfBasicSetting::picker(int id) const { return static_cast<CColorPicker*>(GetDlgItem(id)); }

std::string PageDpfBasicSetting::systemPath(const std::string& relative) const
{
    const std::string workDir = CodePage::fromUtf8(holder->getWorkDir());
    return workDir.empty() ? relative : workDir + "\\" + relative;
}

std::string PageDpfBasicSetting::hostPath(const std::string& relative) const
{
    return HostPath::toHost(systemPath(relative));
}

bool PageDpfBasicSetting::OnInitDialog()
{
    SetDlgItemText(IDC_EBOOK_NOTICE, utf8("注意：要重新生成电子书请先按\"重置\""));
    m_dpfConfig = holder->getConfigInfo()->getDpfConfig();
    Sptr<schema::DpfStateControl> state = m_dpfConfig->getStateControl();
    loadLcdTypes();
    const int direction = state->PhotoDirect;
    showRotation(direction >= 1 && direction <= 3 ? direction : 0);
    for (const ColorRow& row : kColors) {
        picker(row.picker)->buddy = GetDlgItem(row.edit);
    }
    for (const ColorRow& row : kColors) {
        picker(row.picker)->SetColor(storedToColorRef((*state).*row.field));
    }
    Sptr<DpfHwControl> hw = m_dpfConfig->getHwControl();
    SetDlgItemText(IDC_KEY_SHORT_MIN, QString::number(hw->KeyDetMin >= 10 ? 2 : hw->KeyDetMin));
    SetDlgItemText(IDC_KEY_SHORT_MAX, QString::number(hw->KeyDetMax >= 100 ? 10 : hw->KeyDetMax));
    SetDlgItemText(IDC_RESET_ALARM, QString::number(hw->RAlarmVal >= 1000 ? 600 : hw->RAlarmVal));
    for (const NumberRow& row : kNumbers) {
        m_keptNumbers[numberIndex(row.id)] = storedNumber(row.id);
    }
    for (int row = 0; row < SLIDERS; ++row) {
        const SliderRow& table = kSliders[row];
        const int stored = fieldOf(*hw, table);
        const int shown = stored >= table.minimum && stored <= table.maximum ? stored : table.fallback;
        QSlider* slider = m_sliders[size_t(row)];
        slider->setRange(table.minimum, table.maximum);
        slider->setValue(shown);
        // Shown once, stored once: an out-of-range value becomes the fallback.
        OnSliderMoved(row);
    }
    SetDlgItemText(IDC_MAX_PHOTO, QString::number(m_dpfConfig->getMaxImagesCount()));
    enableEbookSlots(false);
    return true;
}

void PageDpfBasicSetting::showEvent(QShowEvent* event)
{
    PageConfig::showEvent(event);
    if (window() != this) {
        window()->resize(850, 680);
    }
}

void PageDpfBasicSetting::showRotation(int quarterTurns)
{
    const std::string bitmap = std::string(utils::ResFolder) + "LCD" + std::to_string(quarterTurns) + ".bmp";
    const QImage image = utils::loadBitmapFile(systemPath(bitmap));
    m_preview->setPixmap(image.isNull() ? QPixmap()
                                        : QPixmap::fromImage(image.scaled(m_preview->size(), Qt::IgnoreAspectRatio,
                                                                          Qt::SmoothTransformation)));
    static_cast<QRadioButton*>(GetDlgItem(IDC_ROTATE0 + quarterTurns))->setChecked(true);
}

void PageDpfBasicSetting::OnBnClickedRotate(int quarterTurns)
{
    showRotation(quarterTurns);
    const auto edit = schema::DpfConfig::lockEdits();
    m_dpfConfig->getStateControl()->PhotoDirect = quarterTurns;
}

void PageDpfBasicSetting::OnEnChangeMenuColor(int editId)
{
    if (m_firstChangeGuard) {
        m_firstChangeGuard = 0;
        return;
    }
    const auto edit = schema::DpfConfig::lockEdits();
    for (const ColorRow& row : kColors) {
        if (row.edit == editId) {
            (*m_dpfConfig->getStateControl()).*row.field = colorTextToStored(GetDlgItemText(editId));
        }
    }
}

const NumberRange& PageDpfBasicSetting::numberRange(int editId)
{
    for (const NumberRow& row : kNumbers) {
        if (row.id == editId) {
            return row.range;
        }
    }
    return kMaxPhotoRange;
}

size_t PageDpfBasicSetting::numberIndex(int editId)
{
    return editId == IDC_KEY_SHORT_MIN ? 0 : editId == IDC_KEY_SHORT_MAX ? 1 : 2;
}

int PageDpfBasicSetting::storedNumber(int editId) const
{
    const DpfHwControl& hw = *m_dpfConfig->getHwControl();
    return editId == IDC_KEY_SHORT_MIN ? hw.KeyDetMin : editId == IDC_KEY_SHORT_MAX ? hw.KeyDetMax : hw.RAlarmVal;
}

void PageDpfBasicSetting::storeNumber(int editId, int value)
{
    DpfHwControl& hw = *m_dpfConfig->getHwControl();
    const auto edit = schema::DpfConfig::lockEdits();
    if (editId == IDC_KEY_SHORT_MIN) {
        hw.KeyDetMin = static_cast<uint8_t>(value);
    } else if (editId == IDC_KEY_SHORT_MAX) {
        hw.KeyDetMax = static_cast<uint8_t>(value);
    } else {
        hw.RAlarmVal = static_cast<uint16_t>(value);
    }
}

void PageDpfBasicSetting::OnEnChangeNumber(int editId)
{
    if (m_firstChangeGuard) {
        m_firstChangeGuard = 0;
        return;
    }
    // Text on its way to a number (emptied to be typed again) is not stored.
    const NumberRange& range = numberRange(editId);
    const std::optional<int64_t> value = parseNumber(GetDlgItemText(editId));
    if (value && *value >= range.minimum && *value <= range.maximum) {
        storeNumber(editId, static_cast<int>(*value));
    }
}

void PageDpfBasicSetting::OnEnKillfocusNumber(int editId)
{
    if (!m_dpfConfig) {
        return;
    }
    int& kept = m_keptNumbers[numberIndex(editId)];
    if (takeNumber(*this, editId, numberRange(editId))) {
        kept = storedNumber(editId);
        return;
    }
    // A refused edit leaves nothing of what was typed: "1a" keeps no 1.
    storeNumber(editId, kept);
    SetDlgItemText(editId, QString::number(kept));
}

void PageDpfBasicSetting::OnSliderMoved(int row)
{
    if (!m_dpfConfig) {
        return;
    }
    const int value = m_sliders[size_t(row)]->value();
    m_sliderEdits[size_t(row)]->setText(QString::number(value));
    const auto edit = schema::DpfConfig::lockEdits();
    setField(*m_dpfConfig->getHwControl(), kSliders[row], value);
}

void PageDpfBasicSetting::OnEnKillfocusMaxPhotoCount()
{
    // A count outside is brought to the nearest bound and kept as shown.
    const std::optional<int64_t> value = takeClampedNumber(*this, IDC_MAX_PHOTO, kMaxPhotoRange);
    if (!value) {
        SetDlgItemText(IDC_MAX_PHOTO, QString::number(m_dpfConfig->getMaxImagesCount()));
        return;
    }
    const auto edit = schema::DpfConfig::lockEdits();
    m_dpfConfig->setMaxImagesCount(static_cast<int>(*value));
}

void PageDpfBasicSetting::loadLcdTypes()
{
    const std::string ini = systemPath(kLcdIni);
    std::vector<char> names(1048576);
    GetPrivateProfileSectionNamesA(names.data(), unsigned(names.size()), ini.c_str());
    QStringList types;
    for (const char* name = names.data(); *name != '\0'; name += std::strlen(name) + 1) {
        if (std::strcmp(name, kLastChoice) != 0) {
            types << utils::fromAnsi(name);
        }
    }
    types.sort(Qt::CaseInsensitive);
    m_lcdType->clear();
    m_lcdType->addItems(types);
    char last[260] = {};
    GetPrivateProfileStringA(kLastChoice, kLcdTypeKey, "NONE", last, sizeof(last), ini.c_str());
    const QString chosen = utils::fromAnsi(last);
    m_lcdType->setCurrentIndex(chosen == "NONE" ? -1 : m_lcdType->findText(chosen, Qt::MatchExactly));
}

void PageDpfBasicSetting::OnCbnSelchangeLcdType()
{
    const std::string type = utils::toAnsi(m_lcdType->currentText());
    if (type.empty()) {
        return;
    }
    const QString source = QString::fromStdString(hostPath(kCodeFolder + type + ".img"));
    const std::string target = hostPath(std::string(kCodeFolder) + kActiveLcdImage);
    // The reason goes to the log: the system words it in English.
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        CPLOG(3, "%s can not be opened: %s", source.toUtf8().constData(), in.errorString().toUtf8().constData());
        mfc::AfxMessageBox(QString("%1 %2").arg(utils::MavikLang::text("Can not open the file"), source));
        return;
    }
    const QByteArray image = in.readAll();
    std::string reason;
    if (!IO::replaceFile(target, image.constData(), size_t(image.size()), nullptr, reason)) {
        CPLOG(3, "%s can not be written: %s", target.c_str(), reason.c_str());
        mfc::AfxMessageBox(
            QString("%1 %2").arg(utils::MavikLang::text("Can not write the file"), QString::fromStdString(target)));
        return;
    }
    // Recorded only once the image is in place.
    // A choice that cannot be recorded is only not remembered.
    (void)WritePrivateProfileStringA(kLastChoice, kLcdTypeKey, type.c_str(), systemPath(kLcdIni).c_str());
}

void PageDpfBasicSetting::OnBnClickedBrowseText(int slot)
{
    const QString chosen = mfc::fileDialogService()->openFile(".txt files (*.txt)|*.txt|All Files (*.*)|*.*||", ".txt");
    if (chosen.isEmpty()) {
        return;
    }
    const int pathEdit = IDC_EBOOK_PATH[size_t(slot)];
    QFile file(chosen);
    if (!file.open(QIODevice::ReadOnly)) {
        SetDlgItemText(pathEdit, QString());
        return;
    }
    if ((file.size() & ~int64_t(0xFFFFF)) > EBOOK_SIZE_LIMIT) {
        mfc::AfxMessageBox(utf8("提示： 文本文件不能超过8M!"));
        SetDlgItemText(pathEdit, QString());
        return;
    }
    SetDlgItemText(pathEdit, chosen);
    importTextFile(chosen);
}

void PageDpfBasicSetting::importTextFile(const QString& path)
{
    QFile file(path);
    QByteArray text;
    std::vector<unsigned char> lines;
    try {
        if (!file.open(QIODevice::ReadOnly)) {
            mfc::AfxMessageBox(utf8("读文本文件失败"));
            return;
        }
        text = file.readAll();
        if (text.size() != file.size()) {
            mfc::AfxMessageBox(utf8("读文本文件失败"));
            return;
        }
        lines.reserve(size_t(text.size()) + size_t(text.size()) / 2 + 2);
        utils::reflowEbookText(reinterpret_cast<const unsigned char*>(text.constData()),
                               static_cast<int32_t>(text.size()), &lines);
    } catch (const std::bad_alloc&) {
        mfc::AfxMessageBox(utf8("分配内存失败"));
        return;
    }
    const std::string target =
        hostPath(utils::EbookFolder) + "/" + ebookOutputName(QFileInfo(path).fileName()).toStdString();
    std::string reason;
    bool notCreated = false;
    if (!IO::replaceFile(target, lines.data(), lines.size(), nullptr, reason, &notCreated)) {
        mfc::AfxMessageBox(utf8(notCreated ? "创建文本失败" : "写文本文件失败"));
        return;
    }
    // The book joins the frame's list at once, not at the next start.
    // A folder that cannot be listed leaves the list empty.
    (void)m_dpfConfig->_addFileList(schema::FILE_TYPE_EBOOK);
}

void PageDpfBasicSetting::enableEbookSlots(bool enable)
{
    for (int slot = 0; slot < EBOOK_SLOTS; ++slot) {
        EnableDlgItem(IDC_EBOOK_PATH[size_t(slot)], enable);
        EnableDlgItem(IDC_EBOOK_BROWSE[size_t(slot)], enable);
    }
}

void PageDpfBasicSetting::OnBnClickedReset()
{
    m_ebookOpen = !m_ebookOpen;
    if (m_ebookOpen) {
        utils::deleteFolderContents(systemPath(utils::EbookFolder));
        // A folder that cannot be listed leaves the list empty.
        (void)m_dpfConfig->_addFileList(schema::FILE_TYPE_EBOOK);
        SetDlgItemText(IDC_EBOOK_RESET, utf8("保存"));
        for (int slot = 0; slot < EBOOK_SLOTS; ++slot) {
            SetDlgItemText(IDC_EBOOK_PATH[size_t(slot)], QString());
        }
        enableEbookSlots(true);
    } else {
        SetDlgItemText(IDC_EBOOK_RESET, utf8("重置"));
        enableEbookSlots(false);
    }
}

}  // namespace Tessor::page
