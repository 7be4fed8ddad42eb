// The engine's reports on their way to the operator's channels, and the
// operator's clicks on their way to the devices: a real engine, simulated
// devices, the window's UI manager and records, and a page of channels.
#include <gtest/gtest.h>

#include <QImage>
#include <thread>

#include "Station.h"
#include "platform/mfc/MessageBox.h"
#include "schema/base/SystemInfo.h"
#include "shell/DeviceTexts.h"
#include "shell/UiStateTable.h"
#include "support/Screenshot.h"
#include "usb/profile/FlashInfo.h"

namespace {

using namespace Tessor;
using namespace bridge_test;
using schema::ConfigInfo;
using schema::PartInfo;
using schema::UiEvent;
using page::UiState;
using test_support::saveScreenshot;
using test_support::waitOnGui;

const QString READY_TEXT =
    QString("'SIMready' ID=%1 do not format,modify configuration or click to begin the product process!")
        .arg(engine_test::SMALL_FLASH_ID);

// Posts a report for `port` to the UI manager from a thread of its own, as
// the engine's threads do.
void reportFromEngineThread(Station& station, const Sptr<UiEvent>& event)
{
    std::thread([&station, event] { station.ui().reportEvent(Sptr<schema::BaseEvent>(event)); }).join();
}

Sptr<UiEvent> reportFor(Station& station, int port, schema::UiSignalType type)
{
    Sptr<UiEvent> event(new UiEvent(type));
    event->setDevice(station.slot(port));
    // As the device's own reports carry it.
    event->setDriveText(station.slot(port)->getDiskDriver());
    return event;
}

// Red text on the grey background, and nothing drawn in black.
void expectAllTextRed(QWidget& widget)
{
    const QImage image = widget.grab().toImage();
    bool red = false;
    bool black = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red = red || (c.red() > 200 && c.green() < 80 && c.blue() < 80);
            black = black || (c.red() < 60 && c.green() < 60 && c.blue() < 60);
        }
    }
    EXPECT_TRUE(red);
    EXPECT_FALSE(black);
}

class BridgeTest : public ::testing::Test {
protected:
    void SetUp() override { mfc::setMessageBoxService(m_boxes); }
    std::shared_ptr<mfc::HeadlessMessageBoxes> m_boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
};

TEST_F(BridgeTest, APluggedDeviceIsReadyThenStartedCancelledAndPulled)
{
    Station station(2, schema::FUNCTION_FACTORY);
    station.showPage();
    station.plug(0, "ready", {{"Faults.FailProgram", "always"}});
    ASSERT_TRUE(waitOnGui([&] { return station.progressText(0) == READY_TEXT; })) << station.progressText(0).toStdString();
    EXPECT_EQ(station.record(0).getState(), page::UI_READY);
    EXPECT_EQ(station.labelText(0), "SIMready: Start");
    EXPECT_TRUE(station.labelEnabled(0));
    EXPECT_TRUE(station.channel(0).progress->isEmptyBar());
    EXPECT_EQ(station.labelText(1), "NoDisk");
    EXPECT_TRUE(saveScreenshot(station.page(), "channel-ready"));

    // The device programs nothing: the scan fails it when it saves the
    // bad-block bitmaps.
    station.record(0).onUserAction(page::ACTION_CLICK);
    EXPECT_EQ(station.labelText(0), "SIMready: Cancel");
    ASSERT_TRUE(waitOnGui([&] { return station.progressText(0).contains("(0x8032)"); }))
        << station.progressText(0).toStdString();
    EXPECT_EQ(station.engineState(0), "StateError");
    EXPECT_FALSE(station.record(0).isBusy());

    ASSERT_EQ(station.hub().unplug(0), 0);
    ASSERT_TRUE(waitOnGui([&] { return station.record(0).getState() == page::UI_UNPLUGGED; }));
    ASSERT_TRUE(waitOnGui([&] { return station.labelText(0) == "1" && station.progressText(0).isEmpty(); }));
    EXPECT_FALSE(station.labelEnabled(0));
    EXPECT_FALSE(station.record(0).isBusy());
    EXPECT_TRUE(m_boxes->texts().isEmpty());
}

TEST_F(BridgeTest, AnErrorReportShowsTheTableTextInRed)
{
    Station station(1, schema::FUNCTION_FACTORY);
    station.showPage();
    station.plug(0, "badid", {{"Device.FlashId", "ECDA1095"}});
    const QString error = QString::fromStdString(shell::statusLine(0x8006, shell::englishText));
    ASSERT_TRUE(waitOnGui([&] { return station.progressText(0) == error; })) << station.progressText(0).toStdString();
    EXPECT_EQ(error, "Some errors found:Can not detect flash id!(0x8006),Please eject this device and remount it later!");
    EXPECT_EQ(station.record(0).getState(), page::UI_FAILED);
    EXPECT_EQ(station.labelText(0), "SIMbadid: Eject");
    EXPECT_TRUE(station.channel(0).progress->isFullBar());
    EXPECT_EQ(station.channel(0).progress->barFraction(), 1.0);
    expectAllTextRed(*station.channel(0).progress);
    EXPECT_TRUE(saveScreenshot(station.page(), "channel-error"));
}

TEST_F(BridgeTest, ProgressBuildAndCancelReportsReachTheChannel)
{
    Station station(1, schema::FUNCTION_FACTORY);
    station.showPage();
    station.plug(0, "built");
    ASSERT_TRUE(waitOnGui([&] { return station.record(0).getState() == page::UI_READY; }));

    Sptr<UiEvent> progress = reportFor(station, 0, schema::UI_SIG_PROGRESS);
    progress->setProgressInfo(Sptr<schema::ProgressInfo>(new schema::ProgressInfo("StateScan", 3, 100, "ScanOperator", 100, 0, 50)));
    reportFromEngineThread(station, progress);
    ASSERT_TRUE(waitOnGui([&] { return station.channel(0).progress->getCurrent() == 40; }));
    EXPECT_EQ(station.progressText(0),
              "Current State:StateScan,Current Operator:ScanOperator,Current Progress:40%,Scan mode:0");

    Sptr<ConfigInfo> used(new ConfigInfo());
    used->setRealCapacity(3000000);
    used->setConfigCapacity(2097152);
    ASSERT_EQ(station.slot(0)->setConfigInfo(used), 0);
    station.record(0).setStartTick(schema::SystemInfo::getSystemTick() - 61999);
    reportFromEngineThread(station, reportFor(station, 0, schema::UI_SIG_BUILD_OK));
    ASSERT_TRUE(waitOnGui([&] { return station.record(0).getState() == page::UI_BUILT; }));
    ASSERT_TRUE(waitOnGui([&] { return station.progressText(0).startsWith("UDisk"); }));
    // 61 999 ms before the report, and however long it took to arrive.
    const QString built = station.progressText(0);
    const QString head = "UDisk have build OK!Capacity=1464(MB)^1024(MB),Time-Consume=";
    const QString tail = "(s),Scan mode=0,Please remount it!";
    ASSERT_TRUE(built.startsWith(head) && built.endsWith(tail)) << built.toStdString();
    const int seconds = built.mid(head.size(), built.size() - head.size() - tail.size()).toInt();
    EXPECT_GE(seconds, 61);
    EXPECT_LE(seconds, 69);
    EXPECT_EQ(station.labelText(0), "SIMbuilt: Eject");
    EXPECT_EQ(station.channel(0).progress->barFraction(), 1.0);
    EXPECT_FALSE(station.record(0).isBusy());
    EXPECT_TRUE(saveScreenshot(station.page(), "channel-build-ok"));

    Sptr<UiEvent> cancelled = reportFor(station, 0, schema::UI_SIG_STATUS);
    cancelled->setErrorCode(0x8029);
    reportFromEngineThread(station, cancelled);
    ASSERT_TRUE(waitOnGui([&] { return station.record(0).getState() == page::UI_STOPPED; }));
    ASSERT_TRUE(waitOnGui([&] { return station.progressText(0).contains("Canceled By User Interface(0x8029)"); }));
    EXPECT_EQ(station.labelText(0), "SIMbuilt: Eject");
}

TEST_F(BridgeTest, AutomaticStartBeginsProductionOnAReadyDevice)
{
    Station station(1, schema::FUNCTION_FACTORY);
    Sptr<ConfigInfo> settings(new ConfigInfo());
    settings->setAutopStart(true);
    shell::MavikApp::instance()->config->setConfigInfo(settings);
    station.showPage();
    station.plug(0, "auto");
    // The run goes through the scan to the low format, which cannot cut
    // block sets from the test device's 64 blocks grouped four by four in
    // block mode.
    ASSERT_TRUE(waitOnGui([&] { return station.progressText(0).contains("(0x8021)"); }))
        << station.progressText(0).toStdString();
    EXPECT_EQ(station.engineState(0), "StateError");
    EXPECT_FALSE(station.channel(0).progress->isEmptyBar());
}

TEST_F(BridgeTest, TheStationHasOneRecordPerChannelAtMost)
{
    engine_test::EngineEnvironment::instance();
    schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
    const struct {
        schema::_FUNCTION_T function;
        int configured, records;
    } cases[] = {{schema::FUNCTION_FACTORY, 25, 20}, {schema::FUNCTION_FACTORY, 4, 4}, {schema::FUNCTION_USER, 4, 1},
                 {schema::FUNCTION_LOGIN, 4, 1}};
    for (const auto& c : cases) {
        config->setCurrentFunction(c.function);
        config->setDeviceCount(c.configured);
        shell::MavikUiMgr ui(nullptr);
        EXPECT_EQ(ui.getCount(), c.records);
        EXPECT_EQ(ui.getDevice(c.records - 1) != nullptr, true);
        EXPECT_EQ(ui.getDevice(c.records), nullptr);
    }
}

// Records the channel's state line each time a record shows its state.
class RecordingPage : public page::PageChannels {
public:
    using PageChannels::PageChannels;
    void onDeviceStateShown() override { seen.push_back(getChannel(0)->progress->getStateText()); }
    std::vector<QString> seen;
};

TEST_F(BridgeTest, ReportsBeforeThePageIsReadyWaitAndKeepTheirOrder)
{
    auto owned = std::make_unique<RecordingPage>(1);
    RecordingPage* page = owned.get();
    Station station(1, schema::FUNCTION_FACTORY, std::move(owned));
    constexpr int REPORTS = 1000;
    std::thread engine([&] {
        for (int i = 1; i <= REPORTS; ++i) {
            Sptr<UiEvent> status = reportFor(station, 0, schema::UI_SIG_STATUS);
            status->setErrorCode(0x9000 + i);
            station.ui().reportEvent(Sptr<schema::BaseEvent>(status));
        }
    });
    engine.join();
    waitOnGui([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_TRUE(page->seen.empty());
    EXPECT_EQ(station.record(0).getState(), page::UI_NO_DISK);

    station.showPage();
    ASSERT_TRUE(waitOnGui([&] { return page->seen.size() == REPORTS; }));
    ASSERT_TRUE(waitOnGui([&] { return station.progressText(0).contains("0x93e8"); }));
    // Each record shows its state before its line: the page sees the line
    // of the report before.
    EXPECT_TRUE(page->seen[0].isEmpty());
    for (int i = 1; i < REPORTS; ++i) {
        ASSERT_EQ(page->seen[static_cast<size_t>(i)].toStdString(), shell::statusLine(0x9000 + i, shell::englishText));
    }
}

TEST_F(BridgeTest, AReportForAPortBeyondTheStationIsDropped)
{
    Station station(1, schema::FUNCTION_FACTORY);
    station.showPage();
    schema::UsbDevice other(nullptr, 1, "UDISK-1");
    other.setIndex(1);
    Sptr<UiEvent> found(new UiEvent(schema::UI_SIG_FOUND));
    found->setDevice(&other);
    reportFromEngineThread(station, found);
    reportFromEngineThread(station, reportFor(station, 0, schema::UI_SIG_FOUND));
    // The label follows the state through the GUI queue: wait for the label itself.
    EXPECT_TRUE(waitOnGui([&] { return station.labelText(0) == "1"; })) << station.labelText(0).toStdString();
    EXPECT_EQ(station.record(0).getState(), page::UI_FOUND);
}

// A record bound to a port's device that is not running, so what the record
// sends stays in the device's own queue.
class QueuedRecord {
public:
    QueuedRecord(int state, const Sptr<ConfigInfo>& settings, int blocks)
        : record(settings), device(nullptr, 0, "UDISK-0")
    {
        if (blocks > 0) {
            Sptr<usb::FlashInfo> flash(new usb::FlashInfo());
            flash->setChipsPerDisk(1);
            flash->getChipInfo()->BlockPerChip = blocks;
            flash->getChipInfo()->PagePerBlock = 16;
            flash->getChipInfo()->SectorPerPage = 4;
            device.setFlashInfo(flash);
        }
        Sptr<UiEvent> bind(new UiEvent(schema::UI_SIG_FOUND));
        bind->setDevice(&device);
        record.setState(state, bind);
    }

    // The requests queued for the device, oldest first.
    std::vector<Sptr<UiEvent>> sent()
    {
        std::vector<Sptr<UiEvent>> events;
        while (device.getQueue()->getReadyCount() > 0) {
            events.push_back(Sptr<UiEvent>(device.getQueue()->popWait()));
        }
        return events;
    }

    shell::MavikDevice record;
    schema::UsbDevice device;
};

TEST_F(BridgeTest, OperatorActionsFollowTheStateTable)
{
    engine_test::EngineEnvironment::instance();
    struct Row {
        int state, action, next, request;
    };
    // Every listed pair; any other pair leaves the port as it is.
    const Row rows[] = {
        {2, 0, 3, 2}, {2, 2, 3, 2}, {2, 4, 5, 4}, {3, 0, 4, 3}, {3, 3, 4, 3}, {3, 4, 6, 4},
        {4, 0, 5, 4}, {4, 2, 3, 2}, {4, 4, 5, 4}, {5, 0, 5, 4}, {5, 4, 5, 4}, {7, 0, 5, 4},
        {7, 2, 3, 2}, {7, 4, 5, 4}, {8, 0, 5, 4}, {8, 2, 3, 2}, {8, 4, 5, 4},
    };
    for (int state = 0; state <= 8; ++state) {
        for (int action : {0, 2, 3, 4}) {
            const Row* listed = nullptr;
            for (const Row& row : rows) {
                if (row.state == state && row.action == action) {
                    listed = &row;
                }
            }
            QueuedRecord port(state, Sptr<ConfigInfo>(new ConfigInfo()), 64);
            port.record.onUserAction(action);
            const std::vector<Sptr<UiEvent>> sent = port.sent();
            SCOPED_TRACE("state " + std::to_string(state) + " action " + std::to_string(action));
            if (listed == nullptr) {
                EXPECT_EQ(port.record.getState(), state);
                EXPECT_TRUE(sent.empty());
                continue;
            }
            EXPECT_EQ(port.record.getState(), listed->next);
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0]->getType(), listed->request);
            EXPECT_EQ(sent[0]->getDevice(), &port.device);
            EXPECT_EQ(static_cast<bool>(sent[0]->getConfigInfo()), listed->request == schema::UI_SIG_START);
        }
    }
    EXPECT_TRUE(m_boxes->texts().isEmpty());
}

Sptr<ConfigInfo> settingsWith(std::initializer_list<std::pair<int, int>> parts, int policy = 0)
{
    Sptr<ConfigInfo> settings(new ConfigInfo());
    settings->setCapacityPolicy(policy);
    for (const auto& [type, sectors] : parts) {
        Sptr<PartInfo> part(new PartInfo(sectors));
        part->setDiskType(type);
        settings->addPartInfo(part);
    }
    return settings;
}

std::vector<unsigned long> sizesOf(const Sptr<ConfigInfo>& settings)
{
    std::vector<unsigned long> sizes;
    for (int i = 0; i < settings->getPartCount(); ++i) {
        sizes.push_back(settings->getPartInfo(i)->getCapacity());
    }
    return sizes;
}

TEST_F(BridgeTest, AStartIsFittedToTheDeviceOrRefused)
{
    engine_test::EngineEnvironment::instance();
    constexpr int BLOCKS = 15625;  // 1 000 000 sectors
    {
        QueuedRecord port(page::UI_READY, settingsWith({{2, 100000}, {0, 1}}), BLOCKS);
        port.record.onUserAction(page::ACTION_START);
        const auto sent = port.sent();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sizesOf(port.record.getRunSettings()), std::vector<unsigned long>({100000, 900000}));
        EXPECT_EQ(port.record.getRunSettings()->getRealCapacity(), 1000000);
        ASSERT_TRUE(sent[0]->getConfigInfo());
        EXPECT_NE(sent[0]->getConfigInfo().get(), port.record.getRunSettings().get());
    }
    {
        QueuedRecord port(page::UI_READY, settingsWith({{0, 10}, {0, 20}}, 1), BLOCKS);
        port.record.onUserAction(page::ACTION_START);
        EXPECT_EQ(port.sent().size(), 1u);
        EXPECT_EQ(sizesOf(port.record.getRunSettings()), std::vector<unsigned long>({10, 20}));
        EXPECT_EQ(port.record.getRunSettings()->getRealCapacity(), 1000000);
    }
    {
        QueuedRecord port(page::UI_READY, settingsWith({{2, 1000000}, {0, 1}}), BLOCKS);
        port.record.onUserAction(page::ACTION_START);
        EXPECT_TRUE(port.sent().empty());
        EXPECT_EQ(port.record.getState(), page::UI_READY);
        EXPECT_FALSE(port.record.isBusy());
    }
    {
        QueuedRecord port(page::UI_READY, settingsWith({}), 0);
        port.record.onUserAction(page::ACTION_START);
        EXPECT_TRUE(port.sent().empty());
        EXPECT_EQ(port.record.getState(), page::UI_PRODUCING);
    }
    EXPECT_EQ(m_boxes->texts(),
              QStringList({"Channel(1)the ISO file loaded has oversteped the capacity of the Flash,please reload the ISO "
                           "file!",
                           "Device Index 0 Capacity is 0, check it"}));
}

TEST_F(BridgeTest, ARightClickAsksBeforeEjecting)
{
    engine_test::EngineEnvironment::instance();
    for (int state : {2, 3, 4, 7, 8, 5}) {
        for (int answer : {mfc::IDNO, mfc::IDYES}) {
            m_boxes->setAnswer(answer);
            m_boxes->clear();
            QueuedRecord port(state, Sptr<ConfigInfo>(new ConfigInfo()), 64);
            port.record.btnRightClick();
            const bool asks = state == 2 || state == 3 || state == 4 || state == 7;
            SCOPED_TRACE("state " + std::to_string(state) + " answer " + std::to_string(answer));
            EXPECT_EQ(m_boxes->texts(), asks ? QStringList({"Eject this device"}) : QStringList());
            const bool ejects = asks && answer == mfc::IDYES;
            EXPECT_EQ(port.sent().size(), ejects ? 1u : 0u);
            EXPECT_EQ(port.record.getState(), ejects ? page::UI_EJECTING : state);
        }
    }
    m_boxes->setAnswer(0);
}

}  // namespace
