// The production-settings page on a factory station of two ports: input
// filters, the serial start, flash selection by part number, Apply and Save
// with the settings handed to every port and stored, the external code
// image, and the hot keys that add and remove the hidden pages.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "page/CFlashConfigPage.h"
#include "page/FlashPartTable.h"
#include "page/PageMp3Setting.h"
#include "page/PageProgress.h"
#include "page/PageUdisk.h"
#include "platform/ini/Ini.h"
#include "platform/mfc/FileDialog.h"
#include "platform/mfc/MessageBox.h"
#include "shell/DeviceTexts.h"
#include "shell/Station.h"
#include "support/QtApp.h"
#include "support/Screenshot.h"
#include "support/TempFolder.h"
#include "usb/profile/ProfileMp3.h"
#include "usb/profile/ProfileUser.h"
#include "usb/profile/uniSerialNO.h"
#include "platform/orrin/HostPath.h"

namespace {

using namespace Tessor;
using page::PageUdisk;
namespace fs = std::filesystem;

class UdiskPage : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_support::qtApp(); }

    void SetUp() override
    {
        mfc::setMessageBoxService(m_boxes);
        mfc::setFileDialogService(m_files);
        const std::string engine = engine_test::EngineEnvironment::instance().folder();
        for (const char* file : {"UserSetting.ini", "Mp3Config.ini", "DpfConfig.ini"}) {
            if (fs::exists(engine + "/" + file)) {
                fs::copy_file(engine + "/" + file, m_kept.path() + "/" + file);
            }
        }
        m_oldDir = fs::current_path();
        fs::create_directories(fs::path(m_work.path()) / "releases/usr/etc");
        fs::create_directories(fs::path(m_work.path()) / "releases/code");
        fs::current_path(m_work.path());
        openStation();
    }
    // A station of two ports on the stored settings, its settings page shown.
    void openStation()
    {
        m_station.reset();
        m_station = std::make_unique<bridge_test::SheetStation>(2, schema::FUNCTION_FACTORY);
        sheet().show();
        sheet().SetActivePage(1);
        m_page = dynamic_cast<PageUdisk*>(sheet().GetPage(1));
        ASSERT_NE(nullptr, m_page);
    }
    void TearDown() override
    {
        m_station.reset();
        fs::current_path(m_oldDir);
        const std::string engine = engine_test::EngineEnvironment::instance().folder();
        for (const auto& entry : fs::directory_iterator(m_kept.path())) {
            fs::copy_file(entry.path(), engine + "/" + entry.path().filename().string(),
                          fs::copy_options::overwrite_existing);
        }
    }

    shell::WndMavikMain& sheet() { return m_station->sheet(); }
    page::PageProgress& production() { return *dynamic_cast<page::PageProgress*>(sheet().GetPage(0)); }
    QLineEdit& edit(int id) { return *static_cast<QLineEdit*>(m_page->GetDlgItem(id)); }
    QComboBox& combo(int id) { return *static_cast<QComboBox*>(m_page->GetDlgItem(id)); }
    QAbstractButton& button(int id) { return *static_cast<QAbstractButton*>(m_page->GetDlgItem(id)); }
    Sptr<schema::ConfigInfo> settings() { return m_page->holder->getConfigInfo(); }
    // Replaces the edit's text by typing, as the operator does.
    void typeInto(int id, const QString& text)
    {
        edit(id).selectAll();
        QTest::keyClicks(&edit(id), text);
    }
    void pressControl(Qt::Key key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
        QApplication::sendEvent(&edit(PageUdisk::IDC_VENDOR_TEXT), &press);
    }

    test_support::TempFolder m_kept;
    test_support::TempFolder m_work;
    fs::path m_oldDir;
    std::shared_ptr<mfc::HeadlessMessageBoxes> m_boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
    std::shared_ptr<mfc::ScriptedFileDialogs> m_files = std::make_shared<mfc::ScriptedFileDialogs>();
    std::unique_ptr<bridge_test::SheetStation> m_station;
    PageUdisk* m_page = nullptr;
};

TEST_F(UdiskPage, TheDefaultPasswordIsHiddenWithItsLabel)
{
    EXPECT_FALSE(m_page->GetDlgItem(PageUdisk::IDC_PASSWORD)->isVisible());
    EXPECT_FALSE(m_page->GetDlgItem(page::PageSetting::PASSWORD_LABEL)->isVisible());
}

TEST_F(UdiskPage, EditsAreCutAtTheirLimitAndFirstForbiddenCharacter)
{
    struct Case {
        int id;
        QString typed;
        QString kept;
    };
    const Case cases[] = {
        {PageUdisk::IDC_VENDOR_CODE, "12G4", "12"},
        {PageUdisk::IDC_VENDOR_CODE, "", ""},
        {PageUdisk::IDC_PRODUCT_CODE, "aBcD9", "aBcD"},
        {PageUdisk::IDC_VENDOR_TEXT, "VENDOR-NAME", "VENDOR-N"},
        {PageUdisk::IDC_PRODUCT_TEXT, "AB" + QString::fromUtf8("中") + "C", "AB"},
        {PageUdisk::IDC_SN_LABEL, QString::fromUtf8("é") + "1234567", QString::fromUtf8("é") + "1234567"},
        {PageUdisk::IDC_PASSWORD, "secret-word", "secret-w"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        edit(c.id).setText(c.typed);
        EXPECT_EQ(c.kept, edit(c.id).text());
        EXPECT_EQ(c.kept.size(), edit(c.id).cursorPosition());
    }
    EXPECT_EQ(0, settings()->getVendorCode());  // the empty code
    EXPECT_EQ(0xABCD, settings()->getProductCode());
    EXPECT_EQ("VENDOR-N", settings()->getVendorString());
    EXPECT_EQ("AB", settings()->getProductString());
    EXPECT_EQ("\xA8\xA6" "1234567", settings()->getSerialNoLabel());  // é in the code page
    EXPECT_EQ("secret-w", settings()->getPassword());
    edit(PageUdisk::IDC_VENDOR_CODE).setText("12G4");
    EXPECT_EQ(0x12, settings()->getVendorCode());
}

TEST_F(UdiskPage, TheSerialStartShownSeedsTheCounter)
{
    typeInto(PageUdisk::IDC_SN_START, "00000123");
    const uint32_t packed = settings()->getSerialNoStart();
    const auto* bytes = reinterpret_cast<const unsigned char*>(&packed);
    EXPECT_EQ(std::vector<int>({0x00, 0x00, 0x01, 0x23}), std::vector<int>(bytes, bytes + 4));
    EXPECT_EQ(123u, schema::uniSerialNO::instance()->peekSerialNO());

    // Text cut to eight digits, pasted or typed in front, is the start it shows.
    struct Cut {
        const char* typed;
        int at;  // where it goes in the text shown; -1: over all of it
        const char* shown;
    } cuts[] = {{"123456789", -1, "12345678"}, {"9", 0, "91234567"}, {"4x5", 8, "91234567"}, {"7x5", -1, "7"}};
    for (const Cut& cut : cuts) {
        QLineEdit& start = edit(PageUdisk::IDC_SN_START);
        if (cut.at < 0) {
            start.selectAll();
        } else {
            start.setCursorPosition(cut.at);
        }
        start.insert(cut.typed);
        EXPECT_EQ(cut.shown, start.text()) << cut.typed;
        const uint32_t shown = start.text().toUInt();
        EXPECT_EQ(schema::packSerialNumber(shown), settings()->getSerialNoStart()) << cut.typed;
        EXPECT_EQ(shown, schema::uniSerialNO::instance()->peekSerialNO()) << cut.typed;
    }

    // In the incrementing mode the page shows the counter's next number when
    // it comes up, and the counter stays used up at its last number.
    button(PageUdisk::IDC_SN_INC).click();
    typeInto(PageUdisk::IDC_SN_START, "99999999");
    uint32_t number = 0;
    EXPECT_EQ(schema::uniSerialNO::Taken::NEW, schema::uniSerialNO::instance()->takeSerialNO(&number));
    EXPECT_EQ(99999999u, number);
    sheet().SetActivePage(0);
    sheet().SetActivePage(1);
    EXPECT_EQ("99999999", edit(PageUdisk::IDC_SN_START).text());
    EXPECT_EQ(schema::uniSerialNO::Taken::USED_UP, schema::uniSerialNO::instance()->takeSerialNO(&number));
}

TEST_F(UdiskPage, PriorityAndManualFlashSelection)
{
    for (const auto& [priority, halfVolume] : {std::pair{3, false}, std::pair{1, true}, std::pair{0, false}}) {
        combo(PageUdisk::IDC_PRIORITY).setCurrentIndex(priority);
        m_page->OnSelChangePriority();
        EXPECT_EQ(halfVolume, m_page->GetDlgItem(PageUdisk::IDC_HALF_VOLUME)->isEnabled()) << priority;
    }
    EXPECT_FALSE(m_page->GetDlgItem(PageUdisk::IDC_FLASH_MODEL)->isEnabled());
    button(PageUdisk::IDC_MANUAL).click();
    EXPECT_TRUE(m_page->holder->manualSelection);
    EXPECT_TRUE(m_page->GetDlgItem(PageUdisk::IDC_FLASH_MODEL)->isEnabled());
    EXPECT_EQ(1, m_page->holder->chipsPerDisk);
    EXPECT_FALSE(m_page->holder->dualChannel);
    EXPECT_TRUE(button(PageUdisk::IDC_SINGLE).isChecked());
    EXPECT_EQ(combo(PageUdisk::IDC_FLASH_MODEL).currentText(), m_page->holder->flashModel);

    combo(PageUdisk::IDC_CHIPS).setCurrentIndex(2);
    m_page->OnSelChangeChips();
    button(PageUdisk::IDC_DUAL).click();
    EXPECT_EQ(4, m_page->holder->chipsPerDisk);
    EXPECT_TRUE(m_page->holder->dualChannel);
    // Applied: identification takes the chosen part.
    ASSERT_TRUE(m_page->OnClickedApply());
    EXPECT_EQ(schema::ConfigInfo::getFlashModel(), m_page->holder->flashModel.toStdString());
    EXPECT_EQ(4, schema::ConfigInfo::getChipsPerDisk());
    EXPECT_TRUE(schema::ConfigInfo::checkDualChannel());
    button(PageUdisk::IDC_MANUAL).click();
    ASSERT_TRUE(m_page->OnClickedApply());
    EXPECT_EQ("", schema::ConfigInfo::getFlashModel());
}

TEST_F(UdiskPage, APartNumberShowsItsOwnCapacity)
{
    const std::vector<page::FlashPart> parts =
        page::readFlashParts(schema::UsbConfiguration::instance()->getFlashFileName());
    ASSERT_GE(parts.size(), 2u);
    ASSERT_EQ(static_cast<int>(parts.size()), combo(PageUdisk::IDC_FLASH_MODEL).count());
    // Laid out as the operator sees it, the combo shows the longest part
    // number whole, beside its arrow.
    test_support::waitOnGui([] { return true; });
    test_support::saveScreenshot(sheet(), "production-settings-flash-model");
    const QFontMetrics metrics(combo(PageUdisk::IDC_FLASH_MODEL).font());
    for (const page::FlashPart& part : parts) {
        EXPECT_GE(combo(PageUdisk::IDC_FLASH_MODEL).width(), metrics.horizontalAdvance(part.partNumber) + 20)
            << part.partNumber.toStdString();
    }
    for (size_t i = 0; i < parts.size(); ++i) {
        combo(PageUdisk::IDC_FLASH_MODEL).setCurrentIndex(static_cast<int>(i));
        m_page->OnSelChangeFlashModel();
        EXPECT_EQ(parts[i].partNumber, m_page->holder->flashModel);
        EXPECT_EQ(QString::number(parts[i].capacityMb), m_page->GetDlgItemText(1173)) << i;
    }
}

TEST_F(UdiskPage, ApplyHandsEveryPortACopyUnlessTheSettingsAreRefused)
{
    const Sptr<schema::ConfigInfo> before = m_station->record(0).getRunSettings();
    // A hidden first partition needs a second one.
    button(page::PageSetting::HIDDEN_BOX).click();
    EXPECT_FALSE(m_page->OnClickedApply());
    EXPECT_EQ(QStringList{"Hide partition,partition number must be greater than one !"}, m_boxes->texts());
    EXPECT_EQ(before.get(), m_station->record(0).getRunSettings().get());
    button(page::PageSetting::HIDDEN_BOX).click();
    // A label FAT does not allow, or one the code page cannot write, is
    // refused with why.
    const struct {
        QString label;
        QString why;
    } labels[] = {
        {"A/B", "Volume label can not hold the character /"},
        {" AB", "Volume label can not start with a blank!"},
        {QString("A") + QChar(7), "Volume label can not hold a control character!"},
        {QString::fromUtf8("DISK\U0001F600"), "Volume label holds a character the code page cannot write!"},
    };
    for (const auto& l : labels) {
        m_boxes->clear();
        edit(1179).setText(l.label);
        EXPECT_FALSE(m_page->OnClickedApply());
        EXPECT_EQ(QStringList{"Partition1: " + l.why}, m_boxes->texts());
        EXPECT_EQ(before.get(), m_station->record(0).getRunSettings().get());
    }
    edit(1179).setText("DEMO");

    // A refused partition check: nothing handed out, and Save stores nothing.
    const std::string profile = engine_test::EngineEnvironment::instance().folder() + "/UserSetting.ini";
    std::ifstream in(profile);
    const std::string stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    m_boxes->clear();
    edit(1173).setText("0");
    combo(1174).setCurrentIndex(1);
    edit(PageUdisk::IDC_VENDOR_TEXT).setText("REFUSED");
    m_page->OnClickedSave();
    EXPECT_EQ(QStringList{"(partSectors[0] <= 0) || (partSectors[1] <= 0)"}, m_boxes->texts());
    EXPECT_EQ(before.get(), m_station->record(0).getRunSettings().get());
    EXPECT_NE("REFUSED", production().GetDlgItemText(page::PageProgress::IDC_VENDOR));
    std::ifstream again(profile);
    EXPECT_EQ(stored, std::string((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()));
    EXPECT_FALSE(m_page->hasError());

    // Accepted: every port its own copy, the first page shown.
    m_boxes->clear();
    edit(1173).setText("100");
    edit(PageUdisk::IDC_SN_LABEL).setText("LOT7");
    ASSERT_TRUE(m_page->OnClickedApply());
    EXPECT_TRUE(m_boxes->texts().isEmpty());
    EXPECT_EQ(0, sheet().GetActiveIndex());
    // The production page's summary shows what was applied.
    EXPECT_EQ("REFUSED", production().GetDlgItemText(page::PageProgress::IDC_VENDOR));
    Sptr<schema::ConfigInfo> first = m_station->record(0).getRunSettings();
    Sptr<schema::ConfigInfo> second = m_station->record(1).getRunSettings();
    EXPECT_NE(first.get(), second.get());
    for (const Sptr<schema::ConfigInfo>& port : {first, second}) {
        EXPECT_EQ("LOT7", port->getSerialNoLabel());
        EXPECT_EQ("REFUSED", port->getVendorString());
        EXPECT_EQ(2, port->getPartCount());
        EXPECT_EQ(100 * 2048, port->getRealCapacity());
    }
}

TEST_F(UdiskPage, ApplyRefusesAFixCapacityOrAFolderItCannotTake)
{
    const std::string folder = m_work.path() + "/content";
    fs::create_directories(folder);
    edit(1173).setText("100");
    const QString capacityRefusal = "Fix Capacity: Value invalid! Please enter the number 0-1048575";
    const QString missing = QString::fromStdString(m_work.path() + "/missing");
    const struct {
        int id;
        QString typed;
        QString refusal;  // empty: applied
    } cases[] = {
        {page::PageSetting::FIXED_CAPACITY_EDIT, "-5", capacityRefusal},
        {page::PageSetting::FIXED_CAPACITY_EDIT, "abc", capacityRefusal},
        {page::PageSetting::FIXED_CAPACITY_EDIT, "1048576", capacityRefusal},
        {page::PageSetting::FIXED_CAPACITY_EDIT, "300", ""},
        {1170, missing, "Partition1: Message: Directory Does Not Exist! " + missing},
        {1170, QString::fromStdString(folder), ""},
    };
    for (const auto& c : cases) {
        m_boxes->clear();
        const Sptr<schema::ConfigInfo> before = m_station->record(0).getRunSettings();
        const int configured = settings()->getConfigCapacity();
        edit(c.id).setText(c.typed);
        EXPECT_EQ(c.refusal.isEmpty(), m_page->OnClickedApply()) << c.typed.toStdString();
        if (c.refusal.isEmpty()) {
            EXPECT_TRUE(m_boxes->texts().isEmpty()) << c.typed.toStdString();
            const Sptr<schema::ConfigInfo> port = m_station->record(0).getRunSettings();
            EXPECT_NE(before.get(), port.get());
            EXPECT_EQ(300 * 2048, port->getConfigCapacity());
        } else {
            EXPECT_EQ(QStringList{c.refusal}, m_boxes->texts());
            EXPECT_EQ(before.get(), m_station->record(0).getRunSettings().get()) << c.typed.toStdString();
            EXPECT_EQ(configured, settings()->getConfigCapacity()) << c.typed.toStdString();
            if (c.id == page::PageSetting::FIXED_CAPACITY_EDIT) {
                EXPECT_EQ(QString::number(configured / 2048), edit(c.id).text());
            }
        }
    }
}

TEST_F(UdiskPage, SaveStoresTheProfilesTheConfigurationReadsBack)
{
    edit(PageUdisk::IDC_SN_LABEL).setText("SAVED");
    edit(PageUdisk::IDC_PRODUCT_CODE).setText("1234");
    settings()->getMp3Config()->getKeyCfg()->set("bLedMode", 3);
    m_page->OnClickedSave();
    EXPECT_TRUE(m_boxes->texts().isEmpty());
    Sptr<schema::ConfigInfo> read = usb::ProfileUser("SettingInformation").getConfigInfo();
    EXPECT_EQ("SAVED", read->getSerialNoLabel());
    EXPECT_EQ(0x1234, read->getProductCode());
    EXPECT_EQ(3, usb::ProfileMp3("Mp3Config").getMp3Config()->getKeyCfg()->get("bLedMode"));
}

// Save stores the start the page shows; in the incrementing mode that is
// the counter's next number, however many devices took one since the page
// was filled.
TEST_F(UdiskPage, SaveStoresTheSerialStartThePageShows)
{
    struct Case {
        int mode;
        const char* typed;  // nothing: the devices take two numbers instead
        uint32_t saved;
    } cases[] = {{PageUdisk::IDC_SN_INC, "", 42}, {PageUdisk::IDC_SN_FIX, "00000100", 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saved);
        button(c.mode).click();
        typeInto(PageUdisk::IDC_SN_START, "00000040");
        if (*c.typed != '\0') {
            typeInto(PageUdisk::IDC_SN_START, c.typed);
        } else {
            uint32_t number = 0;
            for (int device = 0; device < 2; ++device) {
                ASSERT_EQ(schema::uniSerialNO::Taken::NEW, schema::uniSerialNO::instance()->takeSerialNO(&number));
            }
        }
        m_page->OnClickedSave();
        EXPECT_EQ(QString::asprintf("%08u", c.saved).toStdString(), edit(PageUdisk::IDC_SN_START).text().toStdString());
        EXPECT_EQ(c.saved, schema::unpackSerialNumber(usb::ProfileUser("SettingInformation").getConfigInfo()->getSerialNoStart()));
        sheet().SetActivePage(1);
    }
}

TEST_F(UdiskPage, SaveWithNoDeviceKeepsTheSavedPartitions)
{
    // Stored: one partition of 64 MB named DEMO, the disk's size unknown.
    Sptr<schema::ConfigInfo> stored = usb::ProfileUser("SettingInformation").getConfigInfo();
    stored->setRealCapacity(0);
    stored->clearData();
    Sptr<schema::PartInfo> part(new schema::PartInfo(64 * 2048));
    part->setVolumeLabel("DEMO");
    stored->addPartInfo(part);
    ASSERT_EQ(0, usb::ProfileUser("SettingInformation").setConfigInfo(stored));
    ASSERT_NO_FATAL_FAILURE(openStation());
    EXPECT_EQ("64", edit(1176).text());

    edit(PageUdisk::IDC_VENDOR_TEXT).selectAll();
    QTest::keyClicks(&edit(PageUdisk::IDC_VENDOR_TEXT), "NEWNAME");
    QTest::mouseClick(&button(PageUdisk::IDC_SAVE), Qt::LeftButton);
    EXPECT_TRUE(m_boxes->texts().isEmpty());
    Sptr<schema::ConfigInfo> saved = usb::ProfileUser("SettingInformation").getConfigInfo();
    EXPECT_EQ("NEWNAME", saved->getVendorString());
    ASSERT_EQ(1, saved->getPartCount());
    EXPECT_EQ(64u * 2048, saved->getPartInfo(0)->getCapacity());
    EXPECT_EQ("DEMO", saved->getPartInfo(0)->getVolumeLabel());
}

TEST_F(UdiskPage, TheExternalCodeImageIsCopiedUpToItsLimit)
{
    const fs::path big = fs::path(m_kept.path()) / "big.img";
    const fs::path code = fs::path(m_kept.path()) / "code.img";
    std::ofstream(big, std::ios::binary) << std::string(PageUdisk::EXT_CODE_LIMIT + 1, 'B');
    std::ofstream(code, std::ios::binary) << std::string(PageUdisk::EXT_CODE_LIMIT, 'C');
    // The station's image may be spelled in another letter case.
    const auto station = [this] {
        std::ifstream in(HostPath::toHost(m_work.path() + "/releases/code/VOR_MP3_Code.img"), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    const std::string before = station();
    const QString shown = m_page->GetDlgItemText(PageUdisk::IDC_EXT_CODE);
    m_files->answer(QString::fromStdString(big.string()));
    m_page->OnClickedExtCode();
    EXPECT_EQ(QStringList{"Image File Is Too Big!"}, m_boxes->texts());
    EXPECT_EQ(shown, m_page->GetDlgItemText(PageUdisk::IDC_EXT_CODE));
    EXPECT_EQ(before, station());

    m_files->answer(QString::fromStdString(code.string()));
    m_page->OnClickedExtCode();
    EXPECT_EQ(std::string(PageUdisk::EXT_CODE_LIMIT, 'C'), station());
    char recorded[261] = {};
    GetPrivateProfileStringA("SettingInformation", "Mp3Code", "", recorded, sizeof recorded,
                             "releases\\usr\\etc\\UserSetting.ini");
    EXPECT_EQ(code.string(), recorded);
    EXPECT_EQ(QString::fromStdString(code.string()), m_page->GetDlgItemText(PageUdisk::IDC_EXT_CODE));
}

TEST_F(UdiskPage, HotKeysAddAndRemoveTheHiddenPages)
{
    test_support::saveScreenshot(sheet(), "production-settings-page");
    pressControl(Qt::Key_C);
    ASSERT_NE(nullptr, m_page->mp3Page());
    ASSERT_EQ(3, sheet().GetPageCount());
    EXPECT_EQ(QString::fromUtf8("MP3 设置"), sheet().GetPageTitle(2));
    EXPECT_EQ(m_page->mp3Page(), sheet().GetPage(2));
    pressControl(Qt::Key_C);
    EXPECT_EQ(nullptr, m_page->mp3Page());
    EXPECT_EQ(2, sheet().GetPageCount());
    pressControl(Qt::Key_C);
    ASSERT_NE(nullptr, m_page->mp3Page());
    EXPECT_EQ(3, sheet().GetPageCount());
    sheet().SetActivePage(2);
    test_support::saveScreenshot(sheet(), "mp3-page-in-sheet");

    pressControl(Qt::Key_X);
    ASSERT_NE(nullptr, m_page->flashPage());
    ASSERT_EQ(4, sheet().GetPageCount());
    EXPECT_EQ(QString::fromUtf8("闪存配置"), sheet().GetPageTitle(3));
    sheet().SetActivePage(3);
    test_support::saveScreenshot(sheet(), "flash-chip-page-in-sheet");
    // Its return button goes back to the production page.
    QTest::mouseClick(m_page->flashPage()->GetDlgItem(page::CFlashConfigPage::IDC_RETURN), Qt::LeftButton);
    EXPECT_EQ(0, sheet().GetActiveIndex());
    pressControl(Qt::Key_X);
    EXPECT_EQ(nullptr, m_page->flashPage());
    EXPECT_EQ(3, sheet().GetPageCount());
    // The keys never reach the edit.
    EXPECT_EQ(settings()->getVendorString(), edit(PageUdisk::IDC_VENDOR_TEXT).text().toStdString());
}

TEST_F(UdiskPage, TheFlashChipPageOpensOnTheReadyDevicesPart)
{
    m_station->plug(1, "flash-part");
    // The record takes the part number a moment after it shows ready.
    ASSERT_TRUE(test_support::waitOnGui([&] {
        return m_station->record(1).getState() == page::UI_READY && !m_station->record(1).getPartNumber().isEmpty();
    }));
    const QString part = m_station->record(1).getPartNumber();
    ASSERT_TRUE(test_support::waitOnGui([&] { return m_station->ui().getCurrentPartNumber() == part; }));
    pressControl(Qt::Key_X);
    ASSERT_NE(nullptr, m_page->flashPage());
    sheet().SetActivePage(2);
    page::CFlashConfigPage& flash = *m_page->flashPage();
    EXPECT_EQ(part, flash.GetDlgItemText(page::CFlashConfigPage::IDC_MODEL));
    ASSERT_NE(nullptr, flash.list()->currentItem());
    EXPECT_EQ(part, flash.list()->currentItem()->text(0));
    EXPECT_EQ(engine_test::SMALL_FLASH_ID, flash.GetDlgItemText(page::CFlashConfigPage::IDC_FLASH_ID).toStdString());
}

}  // namespace
