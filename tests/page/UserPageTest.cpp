// The user page on a station in user mode: a simulated disk started with
// the partitions edited on the page, ejected by state, and Browse refused
// while the disk is being produced.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>

#include "page/PageUserTool.h"
#include "platform/mfc/MessageBox.h"
#include "schema/device/UsbDevice.h"
#include "shell/DeviceTexts.h"
#include "shell/Station.h"
#include "support/QtApp.h"
#include "support/Screenshot.h"

namespace {

using namespace Tessor;
using bridge_test::Station;
using test_support::waitOnGui;

constexpr int MB = 2048;

class UserPage : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_support::qtApp(); }
    void SetUp() override { mfc::setMessageBoxService(m_boxes); }

    // A station of one port in user mode showing the user page.
    void start()
    {
        auto owned = std::make_unique<page::PageUserTool>();
        m_page = owned.get();
        m_station = std::make_unique<Station>(1, schema::FUNCTION_FACTORY, std::move(owned));
        m_station->showPage();
    }
    void click(int id) { static_cast<QAbstractButton*>(m_page->GetDlgItem(id))->click(); }
    void plugReady(const std::string& name)
    {
        m_station->plug(0, name);
        ASSERT_TRUE(waitOnGui([&] { return m_station->record(0).getState() == shell::UI_READY; }));
    }

    std::shared_ptr<mfc::HeadlessMessageBoxes> m_boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
    page::PageUserTool* m_page = nullptr;
    std::unique_ptr<Station> m_station;
};

TEST_F(UserPage, ApplyStartsTheWaitingDiskWithTheEditedPartitions)
{
    start();
    EXPECT_TRUE(m_page->GetDlgItem(page::PageUserTool::IDC_APPLY)->isEnabled());
    plugReady("user-apply");
    m_page->SetDlgItemText(1226, "2");  // the whole disk
    static_cast<QComboBox*>(m_page->GetDlgItem(1227))->setCurrentIndex(1);
    m_page->OnSelChangePartitionCount();
    m_page->SetDlgItemText(1233, "1");
    m_page->SetDlgItemText(1235, "DATA");
    m_page->SetDlgItemText(1246, "MORE");
    // The partitions keep the sizes set here.
    static_cast<QComboBox*>(m_page->GetDlgItem(1228))->setCurrentIndex(1);
    m_page->OnSelChangeCapacityPolicy();
    click(1234);
    test_support::saveScreenshot(*m_page, "user-page");

    click(page::PageUserTool::IDC_APPLY);
    EXPECT_EQ(shell::UI_PRODUCING, m_station->record(0).getState());
    EXPECT_TRUE(m_station->record(0).isBusy());
    // Taken before the engine's reports are, as the run soon ends.
    // Apply while the disk is produced commits but sends nothing; Browse is refused.
    click(page::PageUserTool::IDC_APPLY);
    EXPECT_EQ(shell::UI_PRODUCING, m_station->record(0).getState());
    click(1240);
    EXPECT_EQ(QStringList{"Dangerous!This action will change the work directory!"}, m_boxes->texts());
    // Eject during production: the record waits for the disk to go.
    click(page::PageUserTool::IDC_EJECT);
    EXPECT_EQ(shell::UI_UNPLUGGED, m_station->record(0).getState());
    ASSERT_TRUE(waitOnGui([&] { return m_station->engineState(0) != "StateWait"; }));
    // The record starts the disk with the partitions committed on the page.
    Sptr<schema::ConfigInfo> run = m_station->record(0).getRunSettings();
    ASSERT_EQ(2, run->getPartCount());
    EXPECT_EQ("DATA", run->getPartInfo(0)->getVolumeLabel());
    EXPECT_EQ("MORE", run->getPartInfo(1)->getVolumeLabel());
    EXPECT_EQ(1u * MB, run->getPartInfo(0)->getCapacity());
    EXPECT_EQ(1u * MB, run->getPartInfo(1)->getCapacity());
    EXPECT_EQ(schema::CAPACITY_BEGIN_IS_FIRST, run->getCapacityPolicy());
}

TEST_F(UserPage, EjectOfAWaitingDiskAndButtonsWithoutADisk)
{
    start();
    // Nothing plugged: Apply and Eject do nothing.
    click(page::PageUserTool::IDC_APPLY);
    click(page::PageUserTool::IDC_EJECT);
    EXPECT_EQ(shell::UI_NO_DISK, m_station->record(0).getState());

    plugReady("user-eject");
    click(page::PageUserTool::IDC_EJECT);
    // A quick device may already be gone when the click returns.
    const int state = m_station->record(0).getState();
    EXPECT_TRUE(state == shell::UI_EJECTING || state == shell::UI_UNPLUGGED) << state;
    EXPECT_FALSE(m_station->record(0).isBusy());
    EXPECT_TRUE(m_boxes->texts().isEmpty());
}

}  // namespace
