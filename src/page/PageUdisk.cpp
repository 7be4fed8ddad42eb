#include "page/PageUdisk.h"

#include <unistd.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <climits>

#include "page/CFlashConfigPage.h"
#include "page/DpfCaptionImages.h"
#include "page/MavikChan.h"
#include "page/NumberEdit.h"
#include "page/PageMp3Setting.h"
#include "page/PageProgress.h"
#include "page/PageHost.h"
#include "page/PortRecord.h"
#include "platform/ini/Ini.h"
#include "platform/mfc/FileDialog.h"
#include "platform/mfc/GuiThread.h"
#include "platform/mfc/MessageBox.h"
#include "platform/mfc/PropertySheet.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "usb/profile/ProfileDpf.h"
#include "usb/profile/ProfileMp3.h"
#include "usb/profile/uniSerialNO.h"
#include "utils/AnsiText.h"
#include "platform/orrin/CodePage.h"
#include "platform/orrin/HostPath.h"
#include "utils/MavikLang.h"
#include "utils/WholeFile.h"

namespace Tessor::page {

using schema::ConfigInfo;
using utils::MavikLang;

namespace {

constexpr char USER_SETTING[] = "releases\\usr\\etc\\UserSetting.ini";
constexpr char SETTING_SECTION[] = "SettingInformation";
constexpr char MP3_CODE_KEY[] = "Mp3Code";
constexpr char MP3_CODE_IMAGE[] = "releases\\code\\VOR_MP3_Code.img";
constexpr unsigned PATH_SIZE = 261;
constexpr int TEXT_LIMIT = 8;
constexpr int CODE_LIMIT = 4;
constexpr int SHEET_WIDTH = 770;
constexpr int SHEET_HEIGHT = 560;
// English captions take more room below the pages.
constexpr int SHEET_HEIGHT_ENGLISH = 605;

bool hexDigit(QChar c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool decimalDigit(QChar c) { return c >= '0' && c <= '9'; }
bool narrowUnit(QChar c) { return c.unicode() <= 0x100; }

QStringList texts(std::initializer_list<const char*> keys)
{
    QStringList list;
    for (const char* key : keys) {
        list << MavikLang::text(key);
    }
    return list;
}

}  // namespace

PageUdisk::PageUdisk(PageProgress* production, QWidget* parent)
    : PageSetting("UdiskTab", parent), m_production(production)
{
    m_ids = PartitionIds{
        .capacity = 1173,
        .count = 1174,
        .policy = 1208,
        .password = IDC_PASSWORD,
        .partCapacity = {1176, 1177, 1178},
        .content = {1170, 1171, 1172},
        .volume = {1179, 1180, 1181},
        .contentLabel = {1137, 1140, 1143},
        .bootDisk = 1175,
        .writeProtect = {1183, 1185, 1186},
        .localDisk = {1189, 1912, 1915},
        .removable = {1188, 1911, 1914},
        .cdrom = {1187, 1910, 1913},
        .encrypt = 1184,
        .confirm = {1195, 1192, 1191},
        .browse = {1194, 1193, 1190},
    };
    buildControls();
    // The hot keys reach the page from any window of the tool, as system-wide
    // keys would: Ctrl+X and Ctrl+C toggle the hidden pages, even in an edit.
    qApp->installEventFilter(this);
}

PageUdisk::~PageUdisk()
{
    qApp->removeEventFilter(this);
    mfc::CPropertySheet* owner = parentSheet();
    for (mfc::CDialog* page : {static_cast<mfc::CDialog*>(m_flashPage.get()), static_cast<mfc::CDialog*>(m_mp3Page.get())}) {
        if (page != nullptr && owner != nullptr) {
            owner->RemovePage(page);
        }
    }
}

bool PageUdisk::isInitialised() const { return m_production->isInitialised(); }

MavikChan* PageUdisk::getChannel(int index) { return m_production->getChannel(index); }

void PageUdisk::buildControls()
{
    auto* column = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    column->addLayout(top);
    auto label = [](const char* key) { return new QLabel(MavikLang::text(key)); };
    auto combo = [this](int id, const QStringList& items) {
        auto* box = new QComboBox;
        box->addItems(items);
        addControl(id, box);
        return box;
    };
    auto edit = [this](int id) {
        auto* line = new QLineEdit;
        addControl(id, line);
        return line;
    };
    auto check = [this](int id, const QString& caption) {
        auto* box = new QCheckBox(caption);
        addControl(id, box);
        return box;
    };
    auto radio = [this](int id, const QString& caption, QButtonGroup* group) {
        auto* button = new QRadioButton(caption);
        group->addButton(button);
        addControl(id, button);
        return button;
    };

    auto* flash = new QGroupBox(MavikLang::text("Flash Setting"));
    auto* flashGrid = new QGridLayout(flash);
    flashGrid->addWidget(check(IDC_MANUAL, MavikLang::text("Manual Select")), 0, 0, 1, 2);
    flashGrid->addWidget(label("Flash Model:"), 1, 0);
    flashGrid->addWidget(combo(IDC_FLASH_MODEL, {}), 1, 1);
    flashGrid->addWidget(label("Flash Chips:"), 2, 0);
    flashGrid->addWidget(combo(IDC_CHIPS, {}), 2, 1);
    auto* channels = new QButtonGroup(flash);
    flashGrid->addWidget(radio(IDC_SINGLE, MavikLang::text("Single Channel"), channels), 3, 0);
    flashGrid->addWidget(radio(IDC_DUAL, MavikLang::text("Dual Channel"), channels), 3, 1);
    top->addWidget(flash);

    auto* format = new QGroupBox(MavikLang::text("Format Setting"));
    auto* formatGrid = new QGridLayout(format);
    const std::pair<int, const char*> scanCombos[] = {{IDC_SCAN_LEVEL, "Scan Level:"}, {IDC_ECC, "ECC Number:"},
                                                     {IDC_SPEED, "Cycle:"},           {IDC_PRIORITY, "Scan Priority:"},
                                                     {IDC_JUMP_BLOCK, "Jump Block:"}, {IDC_VOLTAGE, "Scan Vlotage"}};
    const QStringList lists[] = {
        texts({"Level 0: Scan and Format (Original Flash Only)", "Level 1: Scan and Format",
               "Level 2: Scan Only, No Format (Followed By 6917E Level 9)", "Level 3: Format Only (Scanned By Level 2)"}),
        texts({"No ECC", "One ECC", "Two ECC", "Three ECC", "Four ECC", "Five ECC"}),
        texts({"Auto Detect", "High Speed", "Medium Speed", "Lower Speed", "Low Speed"}),
        texts({"Default", "Capacity First", "Quality First", "Ultra High Speed"}),
        texts({"Default", "Odd", "Even", "Auto Detect"}),
        texts({"Level 1", "Level 2", "Level 3", "Level 4"}),
    };
    for (int i = 0; i < 6; ++i) {
        formatGrid->addWidget(label(scanCombos[i].second), i, 0);
        formatGrid->addWidget(combo(scanCombos[i].first, lists[i]), i, 1, 1, 2);
    }
    formatGrid->addWidget(check(IDC_HALF_VOLUME, MavikLang::text("Half Volume Detect")), 6, 0);
    formatGrid->addWidget(check(IDC_SCAN_TWICE, MavikLang::text("Scan Twice")), 6, 1);
    formatGrid->addWidget(check(IDC_OPTIMIZE, MavikLang::text("Optimize Spy")), 6, 2);
    top->addWidget(format);

    auto* product = new QGroupBox(MavikLang::text("Product Information:"));
    auto* productGrid = new QGridLayout(product);
    const std::pair<int, const char*> productEdits[] = {{IDC_VENDOR_CODE, "Vendor Code:"},
                                                       {IDC_PRODUCT_CODE, "Product Code:"},
                                                       {IDC_VENDOR_TEXT, "Vendor Information:"},
                                                       {IDC_PRODUCT_TEXT, "Product Information:"}};
    int row = 0;
    for (const auto& [id, key] : productEdits) {
        productGrid->addWidget(label(key), row, 0);
        productGrid->addWidget(edit(id), row++, 1);
    }
    combo(IDC_LED_STATUS, {"OFF", "ON"})->hide();
    combo(IDC_LED_FREQUENCY, {"2Hz", "4Hz", "6Hz", "8Hz", "10Hz", "12Hz"})->hide();
    auto* serial = new QGroupBox(MavikLang::text("Product Serial"));
    auto* serialGrid = new QGridLayout(serial);
    auto* modes = new QButtonGroup(serial);
    serialGrid->addWidget(label("SnGenMode:"), 0, 0);
    serialGrid->addWidget(radio(IDC_SN_AUTO, MavikLang::text("Auto"), modes), 0, 1);
    serialGrid->addWidget(radio(IDC_SN_FIX, MavikLang::text("Fix"), modes), 0, 2);
    serialGrid->addWidget(radio(IDC_SN_INC, MavikLang::text("Inc"), modes), 0, 3);
    serialGrid->addWidget(label("Lable"), 1, 0);
    serialGrid->addWidget(edit(IDC_SN_LABEL), 1, 1, 1, 3);
    serialGrid->addWidget(label("Start Number"), 2, 0);
    serialGrid->addWidget(edit(IDC_SN_START), 2, 1, 1, 3);
    productGrid->addWidget(serial, row++, 0, 1, 2);
    productGrid->addWidget(label("Fix Capacity"), row, 0);
    productGrid->addWidget(edit(FIXED_CAPACITY_EDIT), row++, 1);
    check(IDC_BLOCK_MODE, QString())->hide();
    check(IDC_AUTO_START, MavikLang::text("Auto Start"))->hide();
    auto* policies = new QButtonGroup(this);
    radio(POLICY_RATIONAL_RADIO, QString::fromUtf8("容量平均分配"), policies)->hide();
    radio(POLICY_RATIONAL_RADIO + 1, QString::fromUtf8("设定容量优先"), policies)->hide();
    auto* code = new QHBoxLayout;
    code->addWidget(new QLabel(QString::fromUtf8("外部代码:")));
    code->addWidget(edit(IDC_EXT_CODE), 1);
    auto* browse = new QPushButton("...");
    addControl(IDC_EXT_CODE_BROWSE, browse);
    code->addWidget(browse);
    productGrid->addLayout(code, row++, 0, 1, 2);
    top->addWidget(product);

    auto* partitions = new QHBoxLayout;
    partitions->addWidget(createPartitionControls(true), 1);
    partitions->addWidget(check(HIDDEN_BOX, QString::fromUtf8("隐藏")), 0, Qt::AlignTop);
    column->addLayout(partitions);
    GetDlgItem(IDC_PASSWORD)->hide();
    GetDlgItem(PASSWORD_LABEL)->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (const auto& [id, key] : {std::pair{IDC_APPLY, "Apply"}, std::pair{IDC_SAVE, "Save"}, std::pair{IDC_CANCEL, "Cancel"}}) {
        auto* button = new QPushButton(MavikLang::text(key));
        addControl(id, button);
        buttons->addWidget(button);
    }
    column->addLayout(buttons);

    auto clicked = [this](int id, auto handler) {
        connect(static_cast<QAbstractButton*>(GetDlgItem(id)), &QAbstractButton::clicked, this, handler);
    };
    auto selected = [this](int id, auto handler) {
        connect(static_cast<QComboBox*>(GetDlgItem(id)), &QComboBox::activated, this, handler);
    };
    auto changed = [this](int id, auto handler) {
        connect(static_cast<QLineEdit*>(GetDlgItem(id)), &QLineEdit::textChanged, this, handler);
    };
    clicked(IDC_APPLY, [this] { (void)OnClickedApply(); });  // Apply shows its own refusals
    clicked(IDC_SAVE, [this] { OnClickedSave(); });
    clicked(IDC_CANCEL, [this] { showFirstPage(); });
    clicked(IDC_EXT_CODE_BROWSE, [this] { OnClickedExtCode(); });
    clicked(IDC_MANUAL, [this] { OnClickedManualSelect(); });
    clicked(IDC_SINGLE, [this] { holder->dualChannel = false; });
    clicked(IDC_DUAL, [this] { holder->dualChannel = true; });
    clicked(IDC_SN_AUTO, [this] { setSerialMode(schema::SN_MODE_AUTO); });
    clicked(IDC_SN_FIX, [this] { setSerialMode(schema::SN_MODE_FIXED); });
    clicked(IDC_SN_INC, [this] { setSerialMode(schema::SN_MODE_INCREMENT); });
    clicked(POLICY_RATIONAL_RADIO, [this] { setCapacityPolicy(schema::CAPACITY_RATIONAL); });
    clicked(POLICY_RATIONAL_RADIO + 1, [this] { setCapacityPolicy(schema::CAPACITY_BEGIN_IS_FIRST); });
    selected(IDC_FLASH_MODEL, [this] { OnSelChangeFlashModel(); });
    selected(IDC_CHIPS, [this] { OnSelChangeChips(); });
    selected(IDC_PRIORITY, [this] { OnSelChangePriority(); });
    selected(IDC_SCAN_LEVEL, [this](int index) { m_scanSettings->setScanLevel(index); });
    selected(IDC_ECC, [this](int index) { m_scanSettings->setEccBytes(index); });
    selected(IDC_SPEED, [this](int index) { m_scanSettings->setScanSpeed(index); });
    selected(IDC_VOLTAGE, [this](int index) { m_runSettings->setVoltage(index); });
    selected(IDC_LED_STATUS, [this](int index) { m_runSettings->setLedStatus(index); });
    selected(IDC_LED_FREQUENCY, [this](int index) { m_runSettings->setLedFreq(index); });
    changed(IDC_VENDOR_CODE, [this] { storeCode(IDC_VENDOR_CODE); });
    changed(IDC_PRODUCT_CODE, [this] { storeCode(IDC_PRODUCT_CODE); });
    changed(IDC_VENDOR_TEXT, [this] {
        filterEdit(IDC_VENDOR_TEXT, TEXT_LIMIT, narrowUnit);
        holder->toMultiByteStringVendor(GetDlgItemText(IDC_VENDOR_TEXT));
    });
    changed(IDC_PRODUCT_TEXT, [this] {
        filterEdit(IDC_PRODUCT_TEXT, TEXT_LIMIT, narrowUnit);
        holder->toMultiByteStringProduct(GetDlgItemText(IDC_PRODUCT_TEXT));
    });
    changed(IDC_SN_LABEL, [this] {
        filterEdit(IDC_SN_LABEL, TEXT_LIMIT, narrowUnit);
        holder->toMultiByteStringSerialLabel(GetDlgItemText(IDC_SN_LABEL));
    });
    // Only the operator's own typing reseeds the serial counter: the page
    // showing a stored or counted number must not hand it out again.
    connect(static_cast<QLineEdit*>(GetDlgItem(IDC_SN_START)), &QLineEdit::textEdited, this,
            [this] { storeSerialStart(); });
    changed(IDC_PASSWORD, [this] {
        filterEdit(IDC_PASSWORD, TEXT_LIMIT, narrowUnit);
        m_runSettings->setPassword(utils::toAnsi(GetDlgItemText(IDC_PASSWORD)));
    });
}

bool PageUdisk::filterEdit(int id, int limit, bool (*allowed)(QChar))
{
    auto* line = static_cast<QLineEdit*>(GetDlgItem(id));
    const QString text = line->text();
    QString kept = text.left(limit);
    for (int i = 0; i < kept.size(); ++i) {
        if (!allowed(kept[i])) {
            kept.truncate(i);
            break;
        }
    }
    if (kept == text) {
        return false;
    }
    // Written back without a second change notice: the caller stores it.
    const QSignalBlocker quiet(line);
    line->setText(kept);
    line->setCursorPosition(static_cast<int>(kept.size()));
    return true;
}

void PageUdisk::storeCode(int id)
{
    filterEdit(id, CODE_LIMIT, hexDigit);
    bool number = false;
    const int value = GetDlgItemText(id).toInt(&number, 16);
    const int code = number && value >= 0 && value <= 0xFFFF ? value : 0;
    if (id == IDC_VENDOR_CODE) {
        m_runSettings->setVendorCode(code);
    } else {
        m_runSettings->setProductCode(code);
    }
}

void PageUdisk::storeSerialStart()
{
    // What the edit shows, cut or not, is the start.
    filterEdit(IDC_SN_START, TEXT_LIMIT, decimalDigit);
    const uint32_t start = GetDlgItemText(IDC_SN_START).toUInt();
    schema::uniSerialNO::instance(start);
    m_runSettings->setSerialNoStart(schema::packSerialNumber(start));
}

void PageUdisk::setSerialMode(int mode) { m_runSettings->setSnMode(mode); }

bool PageUdisk::OnInitDialog()
{
    const ConfigInfo& settings = *m_runSettings;
    SetDlgItemText(IDC_PRODUCT_TEXT, utils::fromAnsi(settings.getProductString()));
    SetDlgItemText(IDC_VENDOR_TEXT, utils::fromAnsi(settings.getVendorString()));
    SetDlgItemText(IDC_VENDOR_CODE, QString::asprintf("%04X", settings.getVendorCode()));
    SetDlgItemText(IDC_PRODUCT_CODE, QString::asprintf("%04X", settings.getProductCode()));
    static_cast<QComboBox*>(GetDlgItem(IDC_LED_STATUS))->setCurrentIndex(settings.getLedStatus());
    static_cast<QComboBox*>(GetDlgItem(IDC_LED_FREQUENCY))->setCurrentIndex(settings.getLedFreq());
    const int mode = settings.getSnMode();
    static_cast<QAbstractButton*>(GetDlgItem(mode == 1 ? IDC_SN_FIX : mode == 2 ? IDC_SN_INC : IDC_SN_AUTO))
        ->setChecked(true);
    SetDlgItemText(IDC_SN_LABEL, utils::fromAnsi(settings.getSerialNoLabel()));
    SetDlgItemText(IDC_SN_START, QString::asprintf("%08u", schema::unpackSerialNumber(settings.getSerialNoStart())));

    static_cast<QComboBox*>(GetDlgItem(IDC_SCAN_LEVEL))->setCurrentIndex(m_scanSettings->getScanLevel());
    static_cast<QComboBox*>(GetDlgItem(IDC_ECC))->setCurrentIndex(m_scanSettings->getEccBytes());
    static_cast<QComboBox*>(GetDlgItem(IDC_SPEED))->setCurrentIndex(m_scanSettings->getScanSpeed());
    static_cast<QComboBox*>(GetDlgItem(IDC_PRIORITY))->setCurrentIndex(m_scanSettings->getScanPriority());
    static_cast<QComboBox*>(GetDlgItem(IDC_VOLTAGE))->setCurrentIndex(settings.getVoltage());
    OnSelChangePriority();
    static_cast<QAbstractButton*>(GetDlgItem(IDC_AUTO_START))->setChecked(settings.checkAutoStart());
    for (int id : {IDC_HALF_VOLUME, IDC_SCAN_TWICE, IDC_OPTIMIZE, IDC_JUMP_BLOCK}) {
        EnableDlgItem(id, false);
    }

    loadPartitions();
    SetDlgItemText(FIXED_CAPACITY_EDIT, QString::number(settings.getConfigCapacity() / SECTORS_PER_MB));
    EnableDlgItem(FIXED_CAPACITY_EDIT, schema::UsbConfiguration::instance()->getChipSet() != schema::CHIPSET_6706);

    fillFlashInformation();

    const bool locked = schema::UsbConfiguration::instance()->isBlockModeLocked();
    if (locked) {
        m_runSettings->setBlockMode(false);
    }
    static_cast<QAbstractButton*>(GetDlgItem(IDC_BLOCK_MODE))->setChecked(m_runSettings->checkBlockMode());
    EnableDlgItem(IDC_BLOCK_MODE, !locked);

    char path[PATH_SIZE] = {};
    GetPrivateProfileStringA(SETTING_SECTION, MP3_CODE_KEY, "NULL", path, PATH_SIZE, USER_SETTING);
    SetDlgItemText(IDC_EXT_CODE, utils::fromAnsi(path));
    return true;
}

void PageUdisk::fillFlashInformation()
{
    for (int id : {IDC_FLASH_MODEL, IDC_CHIPS, IDC_SINGLE, IDC_DUAL}) {
        EnableDlgItem(id, false);
    }
    auto* models = static_cast<QComboBox*>(GetDlgItem(IDC_FLASH_MODEL));
    models->clear();
    m_capacities.clear();
    // Each part number with its own section's capacity.
    for (const FlashPart& part : uiMgr->getFlashParts()) {
        models->addItem(part.partNumber);
        m_capacities.push_back(part.capacityMb);
    }
    models->setCurrentIndex(0);
    // Wide enough for the longest part number.
    models->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    models->setMinimumWidth(models->sizeHint().width());
    holder->manualSelection = false;
    static_cast<QAbstractButton*>(GetDlgItem(IDC_MANUAL))->setChecked(false);
    auto* chips = static_cast<QComboBox*>(GetDlgItem(IDC_CHIPS));
    chips->clear();
    chips->addItems({"1", "2", "4"});
    chips->setCurrentIndex(0);
    holder->dualChannel = false;
    static_cast<QAbstractButton*>(GetDlgItem(IDC_SINGLE))->setChecked(true);
    showPluggedDevices(true);
}

void PageUdisk::showPluggedDevices(bool followModel)
{
    const int count = uiMgr != nullptr ? uiMgr->getCount() : 0;
    for (int i = 0; i < count; ++i) {
        const PortRecord* record = uiMgr->getDevice(i);
        schema::UsbDevice* device = record != nullptr ? record->getDevice() : nullptr;
        if (device == nullptr) {
            continue;
        }
        if (Sptr<usb::FlashInfo> flash = device->getFlashInfo(); flash && followModel) {
            const QString model = utils::fromAnsi(flash->getChipInfo()->PartNumber);
            auto* models = static_cast<QComboBox*>(GetDlgItem(IDC_FLASH_MODEL));
            models->setCurrentIndex(models->findText(model));
            holder->flashModel = model;
        }
        if (const std::optional<int> sectors = uiMgr->deviceSectors(*device)) {
            SetDlgItemText(m_ids.capacity, QString::number(*sectors / SECTORS_PER_MB));
        }
    }
}

bool PageUdisk::OnSetActive()
{
    showPluggedDevices(!holder->manualSelection);
    OnClickedConfirmPartition();
    if (m_runSettings->getSnMode() == schema::SN_MODE_INCREMENT) {
        SetDlgItemText(IDC_SN_START, QString::asprintf("%08u", schema::uniSerialNO::instance()->peekSerialNO()));
    }
    return true;
}

void PageUdisk::showEvent(QShowEvent* event)
{
    PageSetting::showEvent(event);
    const int height = MavikLang::language() == utils::LANG_ENGLISH ? SHEET_HEIGHT_ENGLISH : SHEET_HEIGHT;
    if (QWidget* window = this->window(); window != this) {
        window->resize(SHEET_WIDTH, height);
    }
}

void PageUdisk::OnSelChangePriority()
{
    const int priority = std::max(0, static_cast<QComboBox*>(GetDlgItem(IDC_PRIORITY))->currentIndex());
    m_scanSettings->setScanPriority(priority);
    EnableDlgItem(IDC_HALF_VOLUME, priority == 1 || priority == 2);
}

void PageUdisk::OnClickedManualSelect()
{
    const bool manual = static_cast<QAbstractButton*>(GetDlgItem(IDC_MANUAL))->isChecked();
    holder->manualSelection = manual;
    for (int id : {IDC_FLASH_MODEL, IDC_CHIPS, IDC_SINGLE, IDC_DUAL}) {
        EnableDlgItem(id, manual);
    }
    if (manual) {
        holder->flashModel = static_cast<QComboBox*>(GetDlgItem(IDC_FLASH_MODEL))->currentText();
        holder->chipsPerDisk = 1;
        holder->dualChannel = false;
        static_cast<QComboBox*>(GetDlgItem(IDC_CHIPS))->setCurrentIndex(0);
        static_cast<QAbstractButton*>(GetDlgItem(IDC_SINGLE))->setChecked(true);
    }
}

void PageUdisk::OnSelChangeFlashModel()
{
    auto* models = static_cast<QComboBox*>(GetDlgItem(IDC_FLASH_MODEL));
    holder->flashModel = models->currentText();
    const int index = models->currentIndex();
    if (index >= 0 && index < static_cast<int>(m_capacities.size())) {
        SetDlgItemText(m_ids.capacity, QString::number(m_capacities[static_cast<size_t>(index)]));
    }
}

void PageUdisk::OnSelChangeChips()
{
    holder->chipsPerDisk = static_cast<QComboBox*>(GetDlgItem(IDC_CHIPS))->currentText().toInt();
}

bool PageUdisk::OnClickedApply()
{
    resetEmptyContentSizes();
    OnClickedConfirmPartition();
    // Refused before anything is committed.
    if (!takeNumber(*this, FIXED_CAPACITY_EDIT, {0, INT_MAX / SECTORS_PER_MB}, MavikLang::text("Fix Capacity"))) {
        SetDlgItemText(FIXED_CAPACITY_EDIT, QString::number(m_runSettings->getConfigCapacity() / SECTORS_PER_MB));
        return false;
    }
    if (!acceptVolumeLabels() || !acceptContents()) {
        clearError();
        return false;
    }
    commitPartInfo();
    const bool hidden = static_cast<QAbstractButton*>(GetDlgItem(HIDDEN_BOX))->isChecked();
    if (hidden && static_cast<QComboBox*>(GetDlgItem(m_ids.count))->currentText().toInt() < 2) {
        mfc::AfxMessageBox(MavikLang::text("Hide partition,partition number must be greater than one !"));
        return false;
    }
    {
        Threads::Lock guard(*holder);
        holder->toMultiByteStringSerialLabel(GetDlgItemText(IDC_SN_LABEL));
        holder->toMultiByteStringVendor(GetDlgItemText(IDC_VENDOR_TEXT));
        holder->toMultiByteStringProduct(GetDlgItemText(IDC_PRODUCT_TEXT));
        m_runSettings->setLedFreq(std::max(0, static_cast<QComboBox*>(GetDlgItem(IDC_LED_FREQUENCY))->currentIndex()));
        m_runSettings->setPassword(utils::toAnsi(GetDlgItemText(IDC_PASSWORD)));
        m_runSettings->setBlockMode(static_cast<QAbstractButton*>(GetDlgItem(IDC_BLOCK_MODE))->isChecked());
        if (hasError()) {
            clearError();
            return false;
        }
        m_production->showSettings();
        if (!holder->manualSelection) {
            ConfigInfo::setFlashModel("");
        } else {
            ConfigInfo::setFlashModel(utils::toAnsi(holder->flashModel));
            ConfigInfo::setChipsPerDisk(holder->chipsPerDisk);
            ConfigInfo::setDualChannel(holder->dualChannel);
        }
        uiMgr->distributeConfigInfo(Sptr<ConfigInfo>(new ConfigInfo(m_runSettings)));
    }
    showFirstPage();
    return true;
}

void PageUdisk::OnClickedSave()
{
    // Settings Apply refused are never stored as the defaults.
    if (!OnClickedApply()) {
        return;
    }
    {
        Threads::Lock guard(*holder);
        holder->commitConfigInfo();
        if (m_runSettings->getSnMode() == schema::SN_MODE_INCREMENT) {
            // Saved as the counter's next number, which the counter keeps
            // there from then on: the page shows that one.
            const uint32_t next = schema::uniSerialNO::instance()->peekSerialNO();
            m_runSettings->setSerialNoStart(schema::packSerialNumber(next));
            SetDlgItemText(IDC_SN_START, QString::asprintf("%08u", next));
        }
        // The profile logs a key it could not write.
        (void)usb::ProfileDpf("DpfConfig").setDpfConfig(m_runSettings->getDpfConfig());
        // The profile logs a key it could not write.
        (void)usb::ProfileMp3("Mp3Config").setMp3Config(m_runSettings->getMp3Config());
    }
    buildMenuImages(1);
    buildMenuImages(0);
}

// The pictures take the working folder in the system's form, as every narrow
// path; the holder keeps the host's.
void PageUdisk::buildMenuImages(int chinese)
{
    Tessor::page::buildMenuImages(m_runSettings, chinese, CodePage::fromUtf8(holder->getWorkDir()));
}

void PageUdisk::OnClickedExtCode()
{
    const QString path = mfc::fileDialogService()->openFile(QString::fromUtf8("Img文件(*.img)|*.img"), ".img");
    if (path.isEmpty()) {
        return;
    }
    const std::string work = holder->getWorkDir();
    if (!work.empty() && ::chdir(work.c_str()) != 0) {
        CPLOG(3, "The work folder %s cannot be made current again", work.c_str());
    }
    QFile source(path);
    if (source.size() > EXT_CODE_LIMIT) {
        mfc::AfxMessageBox(MavikLang::text("Image File Is Too Big!"));
        return;
    }
    const QString target = QString::fromStdString(HostPath::toHost(MP3_CODE_IMAGE));
    if (QFileInfo(path).canonicalFilePath() != QFileInfo(target).canonicalFilePath()) {
        if (!source.open(QIODevice::ReadOnly) || !utils::WholeFile::write(MP3_CODE_IMAGE, source.readAll())) {
            CPLOG(3, "External code image %s not copied", utils::toAnsi(path).c_str());
            mfc::AfxMessageBox(MavikLang::text("Image File Can Not Be Copied!"));
            return;
        }
    }
    SetDlgItemText(IDC_EXT_CODE, path);
    // Not checked: the image is in place for this run either way.
    (void)WritePrivateProfileStringA(SETTING_SECTION, MP3_CODE_KEY, utils::toAnsi(path).c_str(), USER_SETTING);
}

void PageUdisk::OnHotKey(int id)
{
    mfc::CPropertySheet* owner = parentSheet();
    if (owner == nullptr) {
        return;
    }
    if (id == HOTKEY_FLASH_PAGE) {
        if (!m_flashPage) {
            m_flashPage = std::make_unique<CFlashConfigPage>();
            owner->AddPage(m_flashPage.get(), QString::fromUtf8("闪存配置"));
            m_flashPage->uiMgr = uiMgr;
        } else {
            owner->RemovePage(m_flashPage.get());
            m_flashPage.reset();
        }
    } else if (id == HOTKEY_MP3_PAGE) {
        if (!m_mp3Page) {
            m_mp3Page = std::make_unique<PageMp3Setting>();
            owner->AddPage(m_mp3Page.get(), QString::fromUtf8("MP3 设置"));
            m_mp3Page->holder = holder;
            m_mp3Page->uiMgr = uiMgr;
            m_mp3Page->reloadScanConfig();
        } else {
            owner->RemovePage(m_mp3Page.get());
            m_mp3Page.reset();
        }
    }
}

bool PageUdisk::eventFilter(QObject* watched, QEvent* event)
{
    if (!mfc::isGuiWaker(watched) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier && (key->key() == Qt::Key_X || key->key() == Qt::Key_C)) {
            OnHotKey(key->key() == Qt::Key_X ? HOTKEY_FLASH_PAGE : HOTKEY_MP3_PAGE);
            return true;
        }
    }
    return PageSetting::eventFilter(watched, event);
}

}  // namespace Tessor::page
