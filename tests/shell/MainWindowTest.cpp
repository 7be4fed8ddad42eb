// The operator's window on a real engine with simulated devices: the sheet
// of the configured function, the production page's channels and buttons,
// and the dialogs behind a channel.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "Station.h"
#include "page/DlgBuildInfo.h"
#include "page/DlgLogQuery.h"
#include "page/PageProgress.h"
#include "page/PageUdisk.h"
#include "platform/ini/Ini.h"
#include "platform/mfc/MessageBox.h"
#include "schema/base/Log.h"
#include "schema/event/UiEvent.h"
#include "shell/DeviceTexts.h"
#include "support/Screenshot.h"
#include "support/TempFolder.h"
#include "usb/profile/uniSerialNO.h"

namespace {

using namespace Tessor;
using namespace bridge_test;
using page::PageProgress;
using test_support::saveScreenshot;
using test_support::waitOnGui;

// The production page of a factory sheet, shown.
PageProgress& productionPage(shell::WndMavikMain& sheet)
{
    return *dynamic_cast<PageProgress*>(sheet.GetPage(0));
}

QString label(PageProgress& page, int port) { return page.GetDlgItemText(page.getChannel(port)->labelId); }

// The modal dialog of type T open now, ended with IDOK once `look` has run on it.
template <typename T, typename Look>
void whenOpen(Look look)
{
    QTimer::singleShot(0, [look] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = dynamic_cast<T*>(widget); dialog != nullptr && dialog->isModalRunning()) {
                look(*dialog);
                dialog->EndDialog(mfc::IDOK);
            }
        }
    });
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mfc::setMessageBoxService(m_boxes);
        // The user settings live in the working folder.
        std::filesystem::create_directories(m_folder.path() + "/releases/usr/etc");
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
    }
    void TearDown() override { std::filesystem::current_path(m_previous); }

    std::string userSetting(const char* key)
    {
        char value[64] = {};
        GetPrivateProfileStringA("SettingInformation", key, "", value, sizeof value,
                                 (m_folder.path() + "/releases/usr/etc/UserSetting.ini").c_str());
        return value;
    }

    std::shared_ptr<mfc::HeadlessMessageBoxes> m_boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
    test_support::TempFolder m_folder;
    std::filesystem::path m_previous;
};

TEST_F(MainWindowTest, AFactorySheetHasTheProductionPagesAndItsCaption)
{
    SheetStation station(4, schema::FUNCTION_FACTORY);
    shell::WndMavikMain& sheet = station.sheet();
    ASSERT_EQ(sheet.GetPageCount(), 2);
    EXPECT_EQ(sheet.GetPageTitle(0), "Manufacture Progress");
    EXPECT_EQ(sheet.GetPageTitle(1), "Manufacture Setting");
    EXPECT_NE(dynamic_cast<PageProgress*>(sheet.GetPage(0)), nullptr);
    EXPECT_NE(dynamic_cast<page::PageUdisk*>(sheet.getChannelPage()), nullptr);
    EXPECT_FALSE(sheet.IsWizardMode());
    EXPECT_TRUE(sheet.windowTitle().startsWith("Factory Tools:--")) << sheet.windowTitle().toStdString();
    EXPECT_EQ(station.ui().getPage(), sheet.getChannelPage());
    // Every page has the holder before the sheet is shown; the channels are
    // wired to the records.
    for (const auto& page : sheet.getPages()) {
        EXPECT_EQ(page->holder, station.app().config);
        EXPECT_EQ(page->uiMgr, &station.ui());
    }
    EXPECT_EQ(station.record(3).channel, productionPage(sheet).getChannel(3));
    EXPECT_EQ(productionPage(sheet).getChannel(3)->device, &station.record(3));
    // Pages are set up when first shown: the settings page waits.
    EXPECT_FALSE(sheet.getChannelPage()->isInitialised());
    sheet.show();
    EXPECT_TRUE(sheet.getChannelPage()->isInitialised());
}

TEST_F(MainWindowTest, PhotoFrameSupportAddsItsSixPagesAfterTheProductionPages)
{
    schema::UsbConfiguration::instance()->setDpfSupport(true);
    SheetStation station(2, schema::FUNCTION_FACTORY);
    schema::UsbConfiguration::instance()->setDpfSupport(false);
    shell::WndMavikMain& sheet = station.sheet();
    ASSERT_EQ(sheet.GetPageCount(), 8);
    const char* titles[] = {"Manufacture Progress", "Manufacture Setting", "Basic Setting",      "Advance Setting",
                            "Position Setting",     "Clock Menu Setting",  "Picture Menu Setting", "Setting Menu Setting"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(sheet.GetPageTitle(i), titles[i]);
        EXPECT_EQ(dynamic_cast<page::PageConfig*>(sheet.GetPage(i))->holder, station.app().config);
    }
}

TEST_F(MainWindowTest, ALoginSheetRunsAsAWizard)
{
    SheetStation station(4, schema::FUNCTION_LOGIN);
    shell::WndMavikMain& sheet = station.sheet();
    EXPECT_TRUE(sheet.IsWizardMode());
    EXPECT_TRUE(sheet.windowTitle().startsWith("Login Tools:--"));
    sheet.resize(600, 400);
    sheet.show();
    EXPECT_EQ(sheet.height(), 400);
    EXPECT_TRUE(sheet.GetDlgItem(mfc::IDCANCEL)->isVisible());
    EXPECT_FALSE(sheet.GetDlgItem(mfc::CPropertySheet::ID_HELP)->isVisible());
}

TEST_F(MainWindowTest, NeitherKeysNorTheTitleBarCloseTheSheet)
{
    SheetStation station(2, schema::FUNCTION_FACTORY);
    shell::WndMavikMain& sheet = station.sheet();
    sheet.show();
    PageProgress& page = productionPage(sheet);
    QWidget* exitButton = page.GetDlgItem(PageProgress::IDC_EXIT);
    exitButton->setFocus();
    for (QWidget* target : {static_cast<QWidget*>(&sheet), exitButton, page.GetDlgItem(PageProgress::IDC_START_ALL)}) {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(target, key);
        }
    }
    sheet.close();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_FALSE(sheet.GetDlgItem(mfc::IDOK)->isVisible());
    EXPECT_FALSE(sheet.GetDlgItem(mfc::IDCANCEL)->isVisible());
    EXPECT_TRUE(m_boxes->texts().isEmpty());
    // The page's own exit ends it.
    QTest::mouseClick(exitButton, Qt::LeftButton);
    EXPECT_FALSE(sheet.isVisible());
}

TEST_F(MainWindowTest, TheProductionPageRunsTwoDevicesOnAFourPortStation)
{
    SheetStation station(4, schema::FUNCTION_FACTORY);
    shell::WndMavikMain& sheet = station.sheet();
    sheet.show();
    PageProgress& page = productionPage(sheet);
    for (int i = 0; i < PageProgress::CHANNELS; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(page.getChannel(i)->labelWindow->isVisible(), i < 4);
        EXPECT_EQ(page.getChannel(i)->progress->isVisible(), i < 4);
        EXPECT_FALSE(page.getChannel(i)->labelWindow->isEnabled());
    }
    EXPECT_EQ(label(page, 0), "1");

    station.plug(0, "a");
    station.plug(1, "b");
    ASSERT_TRUE(waitOnGui([&] {
        return label(page, 0) == "SIMa: Start" && label(page, 1) == "SIMb: Start" &&
               page.getChannel(1)->progress->getStateText().startsWith("'SIMb' ID=");
    })) << label(page, 0).toStdString() << " / " << label(page, 1).toStdString();
    EXPECT_EQ(label(page, 2), "3");
    EXPECT_EQ(page.GetDlgItemText(PageProgress::IDC_FLASH_TYPE), station.record(0).getPartNumber());
    EXPECT_FALSE(station.record(0).getPartNumber().isEmpty());
    EXPECT_TRUE(saveScreenshot(sheet, "production-ready"));

    QTest::mouseClick(page.GetDlgItem(PageProgress::IDC_START_ALL), Qt::LeftButton);
    EXPECT_EQ(station.record(0).getState(), shell::UI_PRODUCING);
    EXPECT_EQ(station.record(1).getState(), shell::UI_PRODUCING);
    ASSERT_TRUE(waitOnGui([&] { return station.engineState(0) != "StateWait" && station.engineState(1) != "StateWait"; }));
    EXPECT_TRUE(station.record(0).isBusy());

    // A busy station does not end; in serial mode 2 the next number is
    // saved all the same.
    station.ui().getConfigInfo()->setSnMode(schema::SN_MODE_INCREMENT);
    schema::uniSerialNO::instance(123);
    QTest::mouseClick(page.GetDlgItem(PageProgress::IDC_EXIT), Qt::LeftButton);
    EXPECT_EQ(m_boxes->texts(), QStringList({"Cannot exit during the manufacture"}));
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(userSetting("SerialNumber"), "587268096");
    EXPECT_EQ(schema::uniSerialNO::instance()->getSerialNO(), 124u);

    // Cancel first, then eject: the devices leave and their channels are cleared.
    QTest::mouseClick(page.GetDlgItem(PageProgress::IDC_EJECT), Qt::LeftButton);
    ASSERT_TRUE(waitOnGui([&] {
        return station.record(0).getState() == shell::UI_UNPLUGGED && station.record(1).getState() == shell::UI_UNPLUGGED;
    }));
    ASSERT_TRUE(waitOnGui([&] {
        return page.getChannel(0)->progress->getStateText().isEmpty() && page.getChannel(0)->progress->isEmptyBar() &&
               page.getChannel(1)->progress->getStateText().isEmpty() && label(page, 0) == "1";
    }));
    EXPECT_TRUE(saveScreenshot(sheet, "production-ejected"));
}

}  // namespace
