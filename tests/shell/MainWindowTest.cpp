// The operator's window on a real engine with simulated devices: the sheet
// of the configured function, the production page's channels and buttons,
// and the dialogs behind a channel.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "Station.h"
#include "page/DlgBuildInfo.h"
#include "page/DlgLogQuery.h"
#include "page/PageProgress.h"
#include "page/PageUdisk.h"
#include "page/PageUserTool.h"
#include "platform/ini/Ini.h"
#include "platform/mfc/MessageBox.h"
#include "schema/base/Log.h"
#include "schema/event/UiEvent.h"
#include "shell/DeviceTexts.h"
#include "support/LogCapture.h"
#include "support/OutsideTools.h"
#include "support/Screenshot.h"
#include "support/TempFolder.h"
#include "usb/cfg/BuildInfo.h"
#include "usb/cfg/CfgTable.h"
#include "usb/profile/FlashInfo.h"
#include "usb/profile/uniSerialNO.h"
#include "platform/mfc/ShellOpen.h"

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
    // The serial number the counter keeps in the station's user profile.
    static std::string keptSerialNumber()
    {
        char value[64] = {};
        GetPrivateProfileStringA("SettingInformation", "SerialNumber", "", value, sizeof value,
                                 schema::UsbConfiguration::instance()->getUserFileName().c_str());
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
    ASSERT_EQ(sheet.GetPageCount(), 3);
    EXPECT_EQ(sheet.GetPageTitle(0), "Find UDisk");
    EXPECT_EQ(sheet.GetPageTitle(1), "Input Password");
    EXPECT_EQ(sheet.GetPageTitle(2), "Login Result");
    EXPECT_EQ(sheet.getChannelPage(), sheet.GetPage(0));
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

TEST_F(MainWindowTest, TwentyChannelsLieInTheirGroups)
{
    SheetStation station(PageProgress::CHANNELS, schema::FUNCTION_FACTORY);
    shell::WndMavikMain& sheet = station.sheet();
    sheet.show();
    PageProgress& page = productionPage(sheet);
    const QRect buttons = page.GetDlgItem(1086)->geometry();
    const QRect bars = page.GetDlgItem(1102)->geometry();
    for (int i = 0; i < PageProgress::CHANNELS; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(buttons.contains(page.getChannel(i)->labelWindow->geometry()));
        EXPECT_TRUE(bars.contains(page.getChannel(i)->progress->geometry()));
    }
    saveScreenshot(sheet, "production-twenty-ports");
}

TEST_F(MainWindowTest, UserModesExitEndsTheSheet)
{
    SheetStation station(1, schema::FUNCTION_USER);
    shell::WndMavikMain& sheet = station.sheet();
    sheet.show();
    QTest::mouseClick(sheet.GetPage(0)->GetDlgItem(page::PageUserTool::IDC_EXIT), Qt::LeftButton);
    EXPECT_FALSE(sheet.isVisible());
}

// Clicks the tab of page `index` as the operator does.
void clickTab(shell::WndMavikMain& sheet, int index)
{
    auto* tabs = sheet.findChild<QTabBar*>();
    ASSERT_NE(tabs, nullptr);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    ASSERT_EQ(sheet.GetActiveIndex(), index);
}

TEST_F(MainWindowTest, OpeningTheSettingsPageKeepsTheSerialCounter)
{
    SheetStation station(2, schema::FUNCTION_FACTORY);
    shell::WndMavikMain& sheet = station.sheet();
    // The stored start is 1, and two devices in the incrementing mode took
    // 1 and 2 before the operator first looks at the settings.
    Sptr<schema::ConfigInfo> settings = station.app().config->getConfigInfo();
    settings->setSnMode(schema::SN_MODE_INCREMENT);
    settings->setSerialNoStart(schema::packSerialNumber(1));
    station.ui().getConfigInfo()->setSnMode(schema::SN_MODE_INCREMENT);
    schema::uniSerialNO::instance(1);
    uint32_t number = 0;
    for (int device = 0; device < 2; ++device) {
        ASSERT_EQ(schema::uniSerialNO::Taken::NEW, schema::uniSerialNO::instance()->takeSerialNO(&number));
    }
    sheet.show();
    clickTab(sheet, 1);
    EXPECT_EQ(sheet.GetPage(1)->GetDlgItemText(page::PageUdisk::IDC_SN_START), "00000003");
    clickTab(sheet, 0);
    QTest::mouseClick(productionPage(sheet).GetDlgItem(PageProgress::IDC_EXIT), Qt::LeftButton);
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(keptSerialNumber(), std::to_string(schema::packSerialNumber(3)));
}

// 1 Gbit devices, large enough for the system area and a FAT volume.
const engine_test::Keys PRODUCED_DEVICE = {
    {"Device.FlashId", "ECD35195"}, {"Device.BlocksPerChip", "1024"}, {"Device.PagesPerBlock", "64"}};

// Waits until every port of `ports` has ended its road, built or failed.
void waitForTheRoads(SheetStation& station, PageProgress& page, std::initializer_list<int> ports)
{
    auto ended = [&](int port) {
        const int state = station.record(port).getState();
        return state == page::UI_BUILT || state == page::UI_FAILED;
    };
    ASSERT_TRUE(waitOnGui([&] { return std::all_of(ports.begin(), ports.end(), ended); }))
        << station.engineState(0) << " " << station.engineState(1);
    for (int port : ports) {
        SCOPED_TRACE(port);
        ASSERT_EQ(station.record(port).getState(), page::UI_BUILT)
            << page.getChannel(port)->progress->getStateText().toStdString();
    }
    ASSERT_TRUE(waitOnGui([&] {
        return std::all_of(ports.begin(), ports.end(), [&](int port) {
            return page.getChannel(port)->progress->getStateText().startsWith("UDisk have build OK!");
        });
    })) << page.getChannel(0)->progress->getStateText().toStdString();
}

TEST_F(MainWindowTest, TheProductionPageProducesTwoDevicesOnAFourPortStation)
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

    // Until it is ready a port's button shows its number only.
    QStringList shown = {label(page, 0)};
    station.plug(0, "a", PRODUCED_DEVICE);
    station.plug(1, "second", PRODUCED_DEVICE);
    ASSERT_TRUE(waitOnGui([&] {
        if (shown.back() != label(page, 0)) {
            shown.append(label(page, 0));
        }
        return label(page, 0) == "SIMa: Start" && label(page, 1) == "SIMsecond: Start" &&
               page.getChannel(1)->progress->getStateText().startsWith("'SIMsecond' ID=");
    })) << label(page, 0).toStdString() << " / " << label(page, 1).toStdString();
    EXPECT_EQ(shown, QStringList({"1", "SIMa: Start"})) << shown.join(" | ").toStdString();
    EXPECT_EQ(label(page, 2), "3");
    EXPECT_EQ(page.GetDlgItemText(PageProgress::IDC_FLASH_TYPE), station.record(0).getPartNumber());
    EXPECT_FALSE(station.record(0).getPartNumber().isEmpty());
    EXPECT_TRUE(saveScreenshot(sheet, "production-ready"));
    // A left click on a channel's bar picks its flash part; a right click
    // shows the device's build information.
    QTest::mouseClick(page.getChannel(0)->progress, Qt::LeftButton);
    EXPECT_EQ(station.ui().getCurrentPartNumber(), station.record(0).getPartNumber());
    QString shownPart;
    int partRoom = 0;
    whenOpen<page::DlgBuildInfo>([&](page::DlgBuildInfo& dialog) {
        QWidget* edit = dialog.GetDlgItem(page::DlgBuildInfo::IDC_PART_NUMBER);
        shownPart = dialog.GetDlgItemText(page::DlgBuildInfo::IDC_PART_NUMBER);
        // What the frame and the text margins leave of the edit.
        partRoom = edit->width() - 10 - edit->fontMetrics().horizontalAdvance(shownPart);
        saveScreenshot(dialog, "build-information-part");
    });
    QTest::mouseClick(page.getChannel(1)->progress, Qt::RightButton);
    EXPECT_EQ(shownPart, station.record(1).getPartNumber());
    EXPECT_GE(partRoom, 0) << "the part number is cut";

    // The whole road: scan, low format, high format.
    QTest::mouseClick(page.GetDlgItem(PageProgress::IDC_START_ALL), Qt::LeftButton);
    waitForTheRoads(station, page, {0, 1});
    if (HasFatalFailure()) {
        return;
    }
    // The device reports its build before it takes its next state.
    EXPECT_TRUE(waitOnGui([&] { return station.engineState(0) == "StateBuildOk"; })) << station.engineState(0);
    EXPECT_EQ(label(page, 0), "SIMa: Eject");
    EXPECT_EQ(page.getChannel(1)->progress->barFraction(), 1.0);
    EXPECT_TRUE(saveScreenshot(sheet, "production-built"));
    // What the road wrote reads as a FAT volume to an outside checker.
    const std::string disk = m_folder.path() + "/disk0.img";
    std::string error;
    ASSERT_TRUE(station.hub().device(0)->exportLogical(disk, &error)) << error;
    const test_support::ToolResult fsck = test_support::runTool("fsck.fat -n " + disk);
    EXPECT_EQ(fsck.status, 0) << fsck.output;

    // Eject: the devices leave and their channels are cleared.
    QTest::mouseClick(page.GetDlgItem(PageProgress::IDC_EJECT), Qt::LeftButton);
    ASSERT_TRUE(waitOnGui([&] {
        return station.record(0).getState() == page::UI_UNPLUGGED && station.record(1).getState() == page::UI_UNPLUGGED;
    }));
    ASSERT_TRUE(waitOnGui([&] {
        return page.getChannel(0)->progress->getStateText().isEmpty() && page.getChannel(0)->progress->isEmptyBar() &&
               page.getChannel(1)->progress->getStateText().isEmpty() && label(page, 0) == "1";
    }));
    EXPECT_TRUE(saveScreenshot(sheet, "production-ejected"));
}

TEST_F(MainWindowTest, APlugAfterTheRoadShowsWhatTheDeviceWasBuiltWith)
{
    SheetStation station(1, schema::FUNCTION_FACTORY);
    shell::WndMavikMain& sheet = station.sheet();
    sheet.show();
    PageProgress& page = productionPage(sheet);
    station.plug(0, "rebuilt", PRODUCED_DEVICE);
    ASSERT_TRUE(waitOnGui([&] { return station.record(0).getState() == page::UI_READY; }));
    // Page mode: scan priority 1.
    station.ui().getConfigInfo()->getScanConfig()->setScanPriority(1);
    QTest::mouseClick(page.GetDlgItem(PageProgress::IDC_START_ALL), Qt::LeftButton);
    waitForTheRoads(station, page, {0});
    if (HasFatalFailure()) {
        return;
    }
    const int capacity = station.slot(0)->getConfigInfo()->getRealCapacity() / 2048;

    std::string error;
    ASSERT_EQ(station.hub().unplug(0), 0);
    ASSERT_TRUE(waitOnGui([&] { return station.record(0).getState() == page::UI_UNPLUGGED; }));
    ASSERT_EQ(station.hub().plug(0, engine_test::EngineEnvironment::instance().folder() + "/devices/rebuilt", &error),
              0)
        << error;
    const QString formatted = QString("has been formatted %1(MB)").arg(capacity);
    ASSERT_TRUE(waitOnGui([&] { return page.getChannel(0)->progress->getStateText().contains(formatted); }))
        << page.getChannel(0)->progress->getStateText().toStdString() << " / " << formatted.toStdString();
    // The build information comes from the table on the device's flash.
    std::map<int, QString> built;
    whenOpen<page::DlgBuildInfo>([&](page::DlgBuildInfo& dialog) {
        for (int id : {page::DlgBuildInfo::IDC_FORMAT_TIME, page::DlgBuildInfo::IDC_SCAN_LEVEL,
                       page::DlgBuildInfo::IDC_BUILD_CAPACITY, page::DlgBuildInfo::IDC_BAD_BLOCKS}) {
            built[id] = dialog.GetDlgItemText(id);
        }
    });
    QTest::mouseClick(page.getChannel(0)->progress, Qt::RightButton);
    EXPECT_TRUE(QRegularExpression("^20\\d\\d-[ 1]\\d-[ 1-3]\\d [ 12]\\d:[ 0-5]\\d:[ 0-5]\\d$")
                    .match(built[page::DlgBuildInfo::IDC_FORMAT_TIME])
                    .hasMatch())
        << built[page::DlgBuildInfo::IDC_FORMAT_TIME].toStdString();
    EXPECT_EQ(built[page::DlgBuildInfo::IDC_SCAN_LEVEL], "1");
    EXPECT_EQ(built[page::DlgBuildInfo::IDC_BUILD_CAPACITY], QString::number(capacity));
    EXPECT_EQ(built[page::DlgBuildInfo::IDC_BAD_BLOCKS], "0");
}

// A production page over records bound to devices that do not run: what
// the page sends stays in the devices' queues.
class QuietStation {
public:
    explicit QuietStation(int ports)
    {
        test_support::qtApp();
        engine_test::EngineEnvironment::instance();
        schema::UsbConfiguration::instance()->setDeviceCount(ports);
        schema::UsbConfiguration::instance()->setCurrentFunction(schema::FUNCTION_FACTORY);
        m_ui = std::make_unique<shell::MavikUiMgr>(nullptr);
        m_app.createConfig(m_ui.get());
        m_page.holder = m_app.config;
        m_page.uiMgr = m_ui.get();
        m_page.reloadScanConfig();
        m_app.attachChannelPage(&m_settings);
        for (int i = 0; i < ports; ++i) {
            m_devices.push_back(std::make_unique<schema::UsbDevice>(nullptr, i, "UDISK-" + std::to_string(i)));
            m_devices.back()->setIndex(i);
        }
        m_page.show();
    }

    // Binds port `port`'s record to its device, with a flash of `blocks` blocks.
    void bind(int port, int state, int blocks = 64)
    {
        schema::UsbDevice& device = *m_devices[static_cast<size_t>(port)];
        Sptr<usb::FlashInfo> flash(new usb::FlashInfo());
        flash->setChipsPerDisk(1);
        std::snprintf(flash->getChipInfo()->PartNumber, sizeof flash->getChipInfo()->PartNumber, "PART-%d", port);
        flash->getChipInfo()->BlockPerChip = blocks;
        flash->getChipInfo()->PagePerBlock = 16;
        flash->getChipInfo()->SectorPerPage = 4;
        device.setFlashInfo(flash);
        Sptr<schema::UiEvent> event(new schema::UiEvent(schema::UI_SIG_FOUND));
        event->setDevice(&device);
        m_ui->getDevice(port)->setState(state, event);
    }

    // The requests queued for the port's device, oldest first.
    std::vector<int> sent(int port)
    {
        std::vector<int> types;
        schema::UsbDevice& device = *m_devices[static_cast<size_t>(port)];
        while (device.getQueue()->getReadyCount() > 0) {
            types.push_back(Sptr<schema::UiEvent>(device.getQueue()->popWait())->getType());
        }
        return types;
    }

    PageProgress& page() { return m_page; }
    shell::MavikDevice& record(int port) { return *m_ui->getDevice(port); }
    schema::UsbDevice& device(int port) { return *m_devices[static_cast<size_t>(port)]; }
    page::UProgressInfoCtrl& progress(int port) { return *m_page.getChannel(port)->progress; }
    QWidget* labelOf(int port) { return m_page.getChannel(port)->labelWindow; }

private:
    shell::MavikApp m_app;
    std::unique_ptr<shell::MavikUiMgr> m_ui;
    PageProgress m_page;
    page::PageUdisk m_settings{&m_page};
    std::vector<std::unique_ptr<schema::UsbDevice>> m_devices;
};

TEST_F(MainWindowTest, EjectCancelsEveryPortBeforeEjectingIt)
{
    QuietStation station(3);
    station.bind(0, page::UI_PRODUCING);
    station.bind(1, page::UI_PRODUCING);
    station.bind(2, page::UI_READY);
    QTest::mouseClick(station.page().GetDlgItem(PageProgress::IDC_EJECT), Qt::LeftButton);
    EXPECT_EQ(station.sent(0), std::vector<int>({schema::UI_SIG_CANCEL, schema::UI_SIG_EJECT}));
    EXPECT_EQ(station.sent(1), std::vector<int>({schema::UI_SIG_CANCEL, schema::UI_SIG_EJECT}));
    EXPECT_EQ(station.sent(2), std::vector<int>({schema::UI_SIG_EJECT}));
    EXPECT_EQ(station.record(0).getState(), page::UI_EJECTING);
}

TEST_F(MainWindowTest, StartAllStartsEveryReadyPortAndABusyStationDoesNotEnd)
{
    QuietStation station(3);
    station.bind(0, page::UI_READY);
    station.bind(1, page::UI_BUILT);
    station.bind(2, page::UI_FOUND);
    QTest::mouseClick(station.page().GetDlgItem(PageProgress::IDC_START_ALL), Qt::LeftButton);
    EXPECT_EQ(station.sent(0), std::vector<int>({schema::UI_SIG_START}));
    EXPECT_EQ(station.sent(1), std::vector<int>({schema::UI_SIG_START}));
    EXPECT_TRUE(station.sent(2).empty());
    EXPECT_TRUE(station.record(0).isBusy());
    // In serial mode 2 the next number is saved before the busy test.
    shell::MavikApp::instance()->uiMgr->getConfigInfo()->setSnMode(schema::SN_MODE_INCREMENT);
    schema::uniSerialNO::instance(123);
    QTest::mouseClick(station.page().GetDlgItem(PageProgress::IDC_EXIT), Qt::LeftButton);
    EXPECT_EQ(m_boxes->texts(), QStringList({"Cannot exit during the manufacture"}));
    EXPECT_EQ(keptSerialNumber(), "587268096");
    EXPECT_EQ(schema::uniSerialNO::instance()->peekSerialNO(), 124u);
}

TEST_F(MainWindowTest, TheTimerClearsOnlyTheChannelsOfPortsThatLeft)
{
    QuietStation station(3);
    const int states[] = {page::UI_EJECTING, page::UI_UNPLUGGED, page::UI_FAILED};
    for (int port = 0; port < 3; ++port) {
        station.bind(port, states[port]);
        station.progress(port).setStateText("left");
        station.progress(port).setFullBar(true);
    }
    ASSERT_TRUE(waitOnGui([&] { return station.progress(1).getStateText().isEmpty(); }));
    for (int port : {0, 1}) {
        EXPECT_TRUE(station.progress(port).getStateText().isEmpty());
        EXPECT_EQ(station.progress(port).barFraction(), 0.0);
    }
    EXPECT_EQ(station.progress(2).getStateText(), "left");
    EXPECT_EQ(station.progress(2).barFraction(), 1.0);
}

TEST_F(MainWindowTest, ClicksActOnTheChannelHit)
{
    QuietStation station(2);
    station.bind(0, page::UI_READY);
    station.progress(0).setFullBar(true);
    // Left on the port button: the click of the record's state table.
    QTest::mouseClick(station.labelOf(0), Qt::LeftButton);
    EXPECT_EQ(station.sent(0), std::vector<int>({schema::UI_SIG_START}));
    EXPECT_EQ(station.record(0).getState(), page::UI_PRODUCING);
    EXPECT_FALSE(station.progress(0).isFullBar());
    // Right on the port button: the eject question, answered yes.
    QTest::mouseClick(station.labelOf(0), Qt::RightButton);
    EXPECT_EQ(m_boxes->texts(), QStringList({"Eject this device"}));
    EXPECT_EQ(station.sent(0), std::vector<int>({schema::UI_SIG_EJECT}));
    // Right on the progress of a port without a device: a warning.
    m_boxes->clear();
    QTest::mouseClick(&station.progress(1), Qt::RightButton);
    EXPECT_EQ(m_boxes->texts(), QStringList({"Device is not ready now!"}));
    // A channel beyond the station is hidden and takes no click.
    m_boxes->clear();
    QTest::mouseClick(station.page().getChannel(2)->progress, Qt::RightButton);
    EXPECT_TRUE(m_boxes->texts().isEmpty());
}

// A box on the screen: while it is open the operator's click on its button
// passes the window's input filter, then the box answers.
class OperatorBoxes : public mfc::MessageBoxService {
public:
    explicit OperatorBoxes(int answer) : m_answer(answer) {}
    int show(const QString& text, const QString&, unsigned) override
    {
        texts << text;
        QPushButton button(text);
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        return m_answer;
    }
    QStringList texts;

private:
    int m_answer;
};

// One right click on a port button asks once, whatever the answer.
TEST_F(MainWindowTest, TheEjectQuestionOpensOncePerClick)
{
    test_support::qtApp();
    for (const int answer : {mfc::IDNO, mfc::IDYES}) {
        SCOPED_TRACE(answer);
        QuietStation station(1);
        station.bind(0, page::UI_READY);
        auto boxes = std::make_shared<OperatorBoxes>(answer);
        mfc::setMessageBoxService(boxes);
        QTest::mouseClick(station.labelOf(0), Qt::RightButton);
        EXPECT_EQ(boxes->texts.join(" | ").toStdString(), "Eject this device");
        EXPECT_EQ(station.sent(0), answer == mfc::IDYES ? std::vector<int>({schema::UI_SIG_EJECT}) : std::vector<int>());
        QTest::mouseClick(station.labelOf(0), Qt::RightButton);
        EXPECT_EQ(boxes->texts.size(), answer == mfc::IDYES ? 1 : 2);
        mfc::setMessageBoxService(m_boxes);
    }
}

TEST_F(MainWindowTest, ARightClickOnAProgressBarShowsTheBuildInformation)
{
    QuietStation station(2);
    station.bind(0, page::UI_BUILT, 1024);
    station.bind(1, page::UI_READY, 64);
    Sptr<usb::CfgTable> table(new usb::CfgTable(nullptr, "Built", usb::CFG_TABLE_DEFAULT));
    table->init();
    Sptr<schema::SystemClock> time(new schema::SystemClock());
    *time = schema::SystemClock{2009, 3, 4, 5, 7, 8, 9, 0};
    table->getBuildInfo()->setBuildTime(time);
    station.device(0).setCfgTable(table);
    station.device(0).setVersion(Sptr<schema::VersionInfo>(new schema::VersionInfo(schema::VERSION_6706, 3, true)));
    station.device(1).setCfgTable(table);
    station.device(1).setVersion(Sptr<schema::VersionInfo>(new schema::VersionInfo(schema::VERSION_6706, 3, false)));

    std::map<int, QString> shown;
    const int fields[] = {page::DlgBuildInfo::IDC_PART_NUMBER, page::DlgBuildInfo::IDC_FLASH_CAPACITY,
                          page::DlgBuildInfo::IDC_FORMAT_TIME, page::DlgBuildInfo::IDC_SCAN_LEVEL};
    auto look = [&](page::DlgBuildInfo& dialog) {
        for (int id : fields) {
            shown[id] = dialog.GetDlgItemText(id);
        }
        saveScreenshot(dialog, "build-information");
    };
    whenOpen<page::DlgBuildInfo>(look);
    QTest::mouseClick(&station.progress(0), Qt::RightButton);
    EXPECT_EQ(shown[page::DlgBuildInfo::IDC_PART_NUMBER], "PART-0");
    EXPECT_EQ(shown[page::DlgBuildInfo::IDC_FLASH_CAPACITY], "32");
    EXPECT_EQ(shown[page::DlgBuildInfo::IDC_FORMAT_TIME], "2009- 3- 5  7: 8: 9");
    EXPECT_EQ(shown[page::DlgBuildInfo::IDC_SCAN_LEVEL], "0");
    // A device without a configuration table: the flash, no build.
    whenOpen<page::DlgBuildInfo>(look);
    QTest::mouseClick(&station.progress(1), Qt::RightButton);
    EXPECT_EQ(shown[page::DlgBuildInfo::IDC_PART_NUMBER], "PART-1");
    EXPECT_EQ(shown[page::DlgBuildInfo::IDC_FLASH_CAPACITY], "2");
    EXPECT_EQ(shown[page::DlgBuildInfo::IDC_FORMAT_TIME], "");
    EXPECT_TRUE(m_boxes->texts().isEmpty());
}

TEST_F(MainWindowTest, AFormattedDeviceIsReadyWithItsBuiltCapacity)
{
    QuietStation station(2);
    for (int port : {0, 1}) {
        station.bind(port, page::UI_FOUND);
        Sptr<usb::CfgTable> table(new usb::CfgTable(nullptr, "Built", usb::CFG_TABLE_DEFAULT));
        table->init();
        station.device(port).setCfgTable(table);
        station.device(port).setVersion(Sptr<schema::VersionInfo>(new schema::VersionInfo(schema::VERSION_6706, 3, port == 0)));
        Sptr<schema::UiEvent> ready(new schema::UiEvent(schema::UI_SIG_READY));
        ready->setDevice(&station.device(port));
        station.record(port).onReady(ready);
    }
    EXPECT_TRUE(station.progress(0).getStateText().contains("has been formatted 0(MB),modify"))
        << station.progress(0).getStateText().toStdString();
    EXPECT_TRUE(station.progress(1).getStateText().contains("do not format,modify"));
}

TEST_F(MainWindowTest, BindingAndTheLastSerialNumberAreSavedForTheNextRun)
{
    QuietStation station(1);
    QTest::mouseClick(station.page().GetDlgItem(PageProgress::IDC_BINDING), Qt::LeftButton);
    EXPECT_EQ(userSetting("IsBind"), "1");
    // Numbers used up: the operator is told, and the next run starts at the last.
    shell::MavikApp::instance()->uiMgr->getConfigInfo()->setSnMode(schema::SN_MODE_INCREMENT);
    schema::uniSerialNO::instance(99999999);
    uint32_t number = 0;
    ASSERT_EQ(schema::uniSerialNO::Taken::NEW, schema::uniSerialNO::instance()->takeSerialNO(&number));
    QTest::mouseClick(station.page().GetDlgItem(PageProgress::IDC_EXIT), Qt::LeftButton);
    EXPECT_EQ(m_boxes->texts(),
              QStringList({"All serial numbers up to 99999999 are used, set a new start number!"}));
    EXPECT_EQ(keptSerialNumber(), std::to_string(0x99999999u));
}

TEST_F(MainWindowTest, ASerialNumberThatCannotBeSavedIsLogged)
{
    QuietStation station(1);
    shell::MavikApp::instance()->uiMgr->getConfigInfo()->setSnMode(schema::SN_MODE_INCREMENT);
    // A folder in the user profile's place refuses the write.
    const std::string file = schema::UsbConfiguration::instance()->getUserFileName();
    const std::string kept = m_folder.path() + "/kept.ini";
    std::filesystem::rename(file, kept);
    std::filesystem::create_directory(file);
    test_support::LogCapture log;
    QTest::mouseClick(station.page().GetDlgItem(PageProgress::IDC_EXIT), Qt::LeftButton);
    EXPECT_TRUE(log.contains("not saved to " + file)) << log.text();
    std::filesystem::remove(file);
    std::filesystem::rename(kept, file);
}

TEST_F(MainWindowTest, TheSettingsSummaryShowsTheRunSettings)
{
    QuietStation station(1);
    Sptr<schema::ConfigInfo> settings(new schema::ConfigInfo());
    settings->setVendorString("Vendor");
    settings->getScanConfig()->setScanLevel(2);
    for (auto [type, sectors] : {std::pair{2, 4096}, {0, 0}, {1, 20480}}) {
        Sptr<schema::PartInfo> part(new schema::PartInfo(sectors));
        part->setDiskType(type);
        settings->addPartInfo(part);
    }
    shell::MavikApp::instance()->config->setConfigInfo(settings);
    PageProgress page;
    page.holder = shell::MavikApp::instance()->config;
    page.uiMgr = shell::MavikApp::instance()->uiMgr;
    page.reloadScanConfig();
    page.show();
    EXPECT_EQ(page.GetDlgItemText(PageProgress::IDC_PARTITIONS), "CD-ROM(2MB) Local Disk(10MB) ");
    EXPECT_EQ(page.GetDlgItemText(PageProgress::IDC_SCAN_LEVEL),
              "Level 2: Scan Only, No Format (Followed By 6917E Level 9)");
    EXPECT_EQ(page.GetDlgItemText(PageProgress::IDC_VENDOR), "Vendor");
    EXPECT_TRUE(saveScreenshot(page, "production-summary"));
}

// Records the paths the desktop is asked to open.
class RecordingOpen : public mfc::ShellOpenService {
public:
    void open(const QString& path) override { opened.append(path); }
    QStringList opened;
};

TEST_F(MainWindowTest, TheLogDialogChangesTheRunningLogger)
{
    QuietStation station(1);
    schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
    const std::string name = config->getLogFilename();
    const int level = schema::getLogLevel();
    const long long limit = schema::getLogSizeLimit();
    const int size = config->getLogSize();
    auto opened = std::make_shared<RecordingOpen>();
    mfc::setShellOpenService(opened);

    page::DlgLogQuery dialog;
    dialog.show();
    EXPECT_TRUE(saveScreenshot(dialog, "log-query"));
    // Opened where the logger writes it, with a separator; an absolute name as it is.
    config->setLogFilename("logs/run.txt");
    auto* files = static_cast<QComboBox*>(dialog.GetDlgItem(page::DlgLogQuery::IDC_FILE_NAME));
    files->setCurrentIndex(1);
    dialog.OnClickedQuery();
    config->setLogFilename("/var/tmp/run.txt");
    files->setCurrentIndex(0);
    dialog.OnClickedQuery();
    EXPECT_EQ(opened->opened, QStringList({QString::fromStdString(m_folder.path() + "/logs/run.txt.log"),
                                           "/var/tmp/run.txt"}));

    dialog.SetDlgItemText(page::DlgLogQuery::IDC_SIZE, "5000");
    dialog.OnClickedModifySize();
    EXPECT_EQ(config->getLogSize(), 5000000);
    EXPECT_EQ(schema::getLogSizeLimit(), 5000000);
    static_cast<QComboBox*>(dialog.GetDlgItem(page::DlgLogQuery::IDC_LEVEL))->setCurrentIndex(6);
    dialog.OnClickedModifyLevel();
    EXPECT_EQ(config->getLogLevel(), 6);
    EXPECT_EQ(schema::getLogLevel(), 6);
    // A size that is no number of K keeps the limit.
    dialog.SetDlgItemText(page::DlgLogQuery::IDC_SIZE, "-3");
    dialog.OnClickedModifySize();
    EXPECT_EQ(schema::getLogSizeLimit(), 5000000);
    EXPECT_EQ(m_boxes->texts().size(), 3);
    EXPECT_EQ(m_boxes->texts()[0], "Modify File " + files->itemText(0) + " OK!");
    EXPECT_EQ(m_boxes->texts()[1], "Set Log Level as INFO!");

    mfc::setShellOpenService(nullptr);
    config->setLogFilename(name);
    schema::setLogLevel(level);
    schema::setLogSizeLimit(limit);
    config->setLogSize(size);
}

}  // namespace
