// The window in Chinese on the demo station's locale files: every text the
// sheets of the three functions, a device's whole road, its dialogs and the
// device error table look up is found in each file.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "Station.h"
#include "page/DlgBuildInfo.h"
#include "page/DlgLogQuery.h"
#include "page/PageProgress.h"
#include "page/PageUdisk.h"
#include "platform/mfc/PropertySheet.h"
#include "platform/mfc/StandardTexts.h"
#include "platform/mfc/MessageBox.h"
#include "support/LogCapture.h"
#include "support/QtApp.h"
#include "shell/DeviceTexts.h"
#include "shell/SystemLocale.h"
#include "support/Screenshot.h"
#include "support/TempFolder.h"
#include "utils/MavikLang.h"

namespace {

using namespace Tessor;
using bridge_test::SheetStation;
using page::PageProgress;
using test_support::waitOnGui;
using utils::MavikLang;

struct Locale {
    int language;
    const char* file;
};

// Ends the modal dialog of type T once it is open.
template <typename T>
void closeWhenOpen()
{
    QTimer::singleShot(0, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = dynamic_cast<T*>(widget); dialog != nullptr && dialog->isModalRunning()) {
                dialog->EndDialog(mfc::IDOK);
            }
        }
    });
}

// Lines of the log that name a text the locale file lacks.
std::string missingTexts(const std::string& log)
{
    std::string missing;
    for (size_t at = log.find("is not found"); at != std::string::npos; at = log.find("is not found", at + 1)) {
        const size_t start = log.rfind('\n', at) + 1;
        missing += log.substr(start, log.find('\n', at) - start) + "\n";
    }
    return missing;
}

class ChineseWindow : public ::testing::TestWithParam<Locale> {
protected:
    void SetUp() override
    {
        engine_test::EngineEnvironment::instance();
        mfc::setMessageBoxService(m_boxes);
        std::filesystem::create_directories(m_folder.path() + "/releases/usr/etc");
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
    }
    void TearDown() override
    {
        EXPECT_TRUE(mfc::useStandardTexts(""));
        MavikLang::install(nullptr);
        std::filesystem::current_path(m_previous);
    }

    std::shared_ptr<mfc::HeadlessMessageBoxes> m_boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
    test_support::TempFolder m_folder;
    std::filesystem::path m_previous;
};

TEST_P(ChineseWindow, EveryTextTheWindowLooksUpIsInTheLocaleFile)
{
    test_support::LogCapture log(schema::LOG_WARN);
    const MavikLang lang(GetParam().language, GetParam().file, TESSOR_SAMPLES);
    MavikLang::install(&lang);
    const std::string name = GetParam().language == schema::LANG_SCHINESE ? "sc" : "tc";
    {
        // The photo-frame pages' tab titles.
        schema::UsbConfiguration::instance()->setDpfSupport(true);
        SheetStation photoFrame(1, schema::FUNCTION_FACTORY);
        schema::UsbConfiguration::instance()->setDpfSupport(false);
    }
    {
        SheetStation station(2, schema::FUNCTION_FACTORY);
        shell::WndMavikMain& sheet = station.sheet();
        sheet.show();
        EXPECT_EQ(sheet.GetPageTitle(0), lang.getText("Manufacture Progress"));
        EXPECT_NE(sheet.GetPageTitle(0), "Manufacture Progress");
        sheet.SetActivePage(1);
        test_support::saveScreenshot(sheet, "window-" + name + "-settings");
        EXPECT_EQ(sheet.GetPage(1)->GetDlgItemText(1188), lang.getText("Removable Disk"));
        // The hidden flash-chip page, shown by its hot key.
        QTest::keyClick(sheet.GetPage(1), Qt::Key_X, Qt::ControlModifier);
        ASSERT_EQ(sheet.GetPageCount(), 3);
        sheet.SetActivePage(2);
        test_support::saveScreenshot(sheet, "window-" + name + "-flash-chips");
        sheet.SetActivePage(0);
        auto& page = *dynamic_cast<PageProgress*>(sheet.GetPage(0));

        // A device through the whole road, its build information and the log dialog.
        station.plug(0, "zh-" + name,
                     {{"Device.FlashId", "ECD35195"}, {"Device.BlocksPerChip", "1024"}, {"Device.PagesPerBlock", "64"}});
        ASSERT_TRUE(waitOnGui([&] { return station.record(0).getState() == page::UI_READY; }));
        QTest::mouseClick(page.GetDlgItem(PageProgress::IDC_START_ALL), Qt::LeftButton);
        ASSERT_TRUE(waitOnGui([&] {
            const int state = station.record(0).getState();
            return state == page::UI_BUILT || state == page::UI_FAILED;
        }, std::chrono::seconds(60)));
        EXPECT_EQ(station.record(0).getState(), page::UI_BUILT);
        test_support::saveScreenshot(sheet, "window-" + name + "-built");
        closeWhenOpen<page::DlgBuildInfo>();
        QTest::mouseClick(page.getChannel(0)->progress, Qt::RightButton);
        closeWhenOpen<page::DlgLogQuery>();
        QTest::mouseClick(page.GetDlgItem(PageProgress::IDC_LOG_MANAGER), Qt::LeftButton);
        QTest::mouseClick(page.GetDlgItem(PageProgress::IDC_EJECT), Qt::LeftButton);
        ASSERT_TRUE(waitOnGui([&] { return station.record(0).getState() == page::UI_UNPLUGGED; }));
    }
    for (schema::_FUNCTION_T function : {schema::FUNCTION_USER, schema::FUNCTION_LOGIN}) {
        SheetStation station(1, function);
        station.sheet().show();
        // Laid out as the operator sees it.
        waitOnGui([] { return true; });
        test_support::saveScreenshot(station.sheet(), "window-" + name + "-function-" + std::to_string(function));
    }
    schema::UsbConfiguration::instance()->setCurrentFunction(schema::FUNCTION_FACTORY);
    // Every line of the device error table.
    for (int code = 0; code <= 0xFFFF; ++code) {
        if (const char* text = shell::deviceErrorText(code)) {
            MavikLang::text(text);
        }
    }
    EXPECT_EQ(missingTexts(log.text()), "");
}

// No word of the English window: no Latin letter but a mnemonic's.
bool hasNoEnglish(const QString& text)
{
    QString letters = text;
    letters.remove(QRegularExpression("\\(&[A-Za-z]\\)"));
    return !letters.contains(QRegularExpression("[A-Za-z]"));
}

TEST_P(ChineseWindow, MessagesAndStandardButtonsAreInItsLanguage)
{
    const MavikLang lang(GetParam().language, GetParam().file, TESSOR_SAMPLES);
    MavikLang::install(&lang);
    test_support::qtApp();
    ASSERT_TRUE(mfc::useStandardTexts(shell::SystemLocale::qtName(GetParam().language)));
    const std::string name = GetParam().language == schema::LANG_SCHINESE ? "sc" : "tc";
    {
        SheetStation station(1, schema::FUNCTION_FACTORY);
        station.sheet().show();
        station.sheet().SetActivePage(1);
        auto& page = *dynamic_cast<page::PageUdisk*>(station.sheet().GetPage(1));
        // The page's own refusals, each once.
        const struct {
            int id;
            const char* typed;
            QString message;
        } refusals[] = {
            {1179, "A/B",
             lang.getText("Partition") + "1: " + lang.getText("Volume label can not hold the character") + " /"},
            {1179, " AB", lang.getText("Partition") + "1: " + lang.getText("Volume label can not start with a blank!")},
            {page::PageSetting::FIXED_CAPACITY_EDIT, "-5",
             lang.getText("Fix Capacity") + ": " + lang.getText("Value invalid! Please enter the number") +
                 " 0-1048575"},
        };
        for (const auto& r : refusals) {
            m_boxes->clear();
            const QString kept = page.GetDlgItemText(r.id);
            page.SetDlgItemText(r.id, r.typed);
            EXPECT_FALSE(page.OnClickedApply());
            EXPECT_EQ(QStringList{r.message}, m_boxes->texts());
            EXPECT_TRUE(hasNoEnglish(r.message)) << r.message.toStdString();
            page.SetDlgItemText(r.id, kept);
        }
    }
    // The boxes the screen shows: their buttons in the language.
    for (const unsigned type : {mfc::MB_YESNO, mfc::MB_OK}) {
        const std::unique_ptr<QMessageBox> box = mfc::ScreenMessageBoxes::build(
            lang.getText("Eject this device"), lang.getText("Eject this device"), type | mfc::MB_ICONEXCLAMATION);
        box->show();
        waitOnGui([] { return true; });
        for (QAbstractButton* button : box->buttons()) {
            EXPECT_TRUE(hasNoEnglish(button->text())) << button->text().toStdString();
        }
        test_support::saveScreenshot(*box, "window-" + name + (type == mfc::MB_YESNO ? "-question" : "-message"));
    }
    {
        SheetStation station(1, schema::FUNCTION_LOGIN);
        station.sheet().show();
        waitOnGui([] { return true; });
        using Sheet = mfc::CPropertySheet;
        for (int id : std::initializer_list<int>{Sheet::ID_WIZBACK, Sheet::ID_WIZNEXT, Sheet::ID_WIZFINISH, mfc::IDOK,
                                                 mfc::IDCANCEL, Sheet::ID_HELP}) {
            const QString text = station.sheet().GetDlgItemText(id);
            EXPECT_TRUE(hasNoEnglish(text)) << text.toStdString();
        }
        test_support::saveScreenshot(station.sheet(), "window-" + name + "-login-buttons");
    }
}

INSTANTIATE_TEST_SUITE_P(DemoStation, ChineseWindow,
                         ::testing::Values(Locale{schema::LANG_SCHINESE, "releases/usr/etc/locale_sc.ini"},
                                           Locale{schema::LANG_TCHINESE, "releases/usr/etc/locale_tc.ini"}));

}  // namespace
