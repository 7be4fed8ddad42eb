// The user page on a station in user mode with a disk produced before: the
// disk started with the partitions edited on the page, Apply and Eject
// acting by the disk's state, and Browse refused while the disk is busy.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>

#include "ProducedDisk.h"
#include "page/PageUserTool.h"
#include "platform/mfc/MessageBox.h"
#include "support/Screenshot.h"
#include "support/TempFolder.h"

namespace {

using namespace Tessor;
using page::PageUserTool;
using test_support::waitOnGui;

constexpr int MB = 2048;

class UserPage : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_support::qtApp(); }
    void SetUp() override { mfc::setMessageBoxService(m_boxes); }
    void TearDown() override
    {
        m_station.reset();
        schema::UsbConfiguration::instance()->setCurrentFunction(schema::FUNCTION_FACTORY);
    }

    // A station of one port in user mode showing the user page.
    void start()
    {
        auto owned = std::make_unique<PageUserTool>();
        m_page = owned.get();
        m_station = std::make_unique<bridge_test::Station>(1, schema::FUNCTION_USER, std::move(owned));
        m_station->showPage();
    }
    void click(int id) { static_cast<QAbstractButton*>(m_page->GetDlgItem(id))->click(); }
    int state() { return m_station->record(0).getState(); }
    void plug(const std::string& folder)
    {
        std::string error;
        ASSERT_EQ(0, m_station->hub().plug(0, folder, &error)) << error;
        ASSERT_TRUE(produced_test::waitReady(*m_station, 0));
    }
    // Pulls the disk once the record is done with it.
    void pull()
    {
        ASSERT_TRUE(waitOnGui([&] { return !m_station->record(0).isBusy(); }));
        EXPECT_EQ(m_station->hub().unplug(0), 0);
        ASSERT_TRUE(waitOnGui([&] { return state() == page::UI_UNPLUGGED; })) << state();
    }

    std::shared_ptr<mfc::HeadlessMessageBoxes> m_boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
    PageUserTool* m_page = nullptr;
    std::unique_ptr<bridge_test::Station> m_station;
};

TEST_F(UserPage, ApplyAndEjectActByTheDisksState)
{
    const std::string disk = produced_test::produce("user-disk", produced_test::bigDevice());
    ASSERT_FALSE(disk.empty());
    start();
    // Nothing plugged: Apply and Eject do nothing.
    click(PageUserTool::IDC_APPLY);
    click(PageUserTool::IDC_EJECT);
    EXPECT_EQ(page::UI_NO_DISK, state());

    plug(disk);
    m_page->SetDlgItemText(1226, "32");  // the whole disk
    static_cast<QComboBox*>(m_page->GetDlgItem(1227))->setCurrentIndex(1);
    m_page->OnSelChangePartitionCount();
    m_page->SetDlgItemText(1233, "12");
    m_page->SetDlgItemText(1235, "USERONE");
    m_page->SetDlgItemText(1246, "USERTWO");
    // The first partition keeps its size.
    static_cast<QComboBox*>(m_page->GetDlgItem(1228))->setCurrentIndex(1);
    m_page->OnSelChangeCapacityPolicy();
    click(1234);
    test_support::saveScreenshot(*m_page, "user-page");

    // Ready: Apply starts the disk. While it is produced Apply sends nothing
    // more and Browse is refused.
    click(PageUserTool::IDC_APPLY);
    EXPECT_EQ(page::UI_PRODUCING, state());
    click(PageUserTool::IDC_APPLY);
    EXPECT_EQ(page::UI_PRODUCING, state());
    click(1240);
    EXPECT_EQ(QStringList{"Dangerous!This action will change the work directory!"}, m_boxes->texts());
    ASSERT_TRUE(produced_test::waitBuilt(*m_station, 0));
    test_support::saveScreenshot(*m_page, "user-page-built");
    Sptr<schema::ConfigInfo> run = m_station->record(0).getRunSettings();
    ASSERT_EQ(2, run->getPartCount());
    EXPECT_EQ("USERONE", run->getPartInfo(0)->getVolumeLabel());
    EXPECT_EQ(12u * MB, run->getPartInfo(0)->getCapacity());

    // The units on the flash are the ones the page set.
    ASSERT_TRUE(waitOnGui([&] { return !m_station->record(0).isBusy(); }));
    EXPECT_EQ(m_station->hub().unplug(0), 0);
    test_support::TempFolder out;
    const std::vector<produced_test::UnitImage> units = produced_test::exportUnits(disk, out.path());
    ASSERT_EQ(2u, units.size());
    EXPECT_EQ(12 * MB, units[0].sectors);
    EXPECT_GT(units[1].sectors, 0);
    const std::string labels[] = {"USERONE", "USERTWO"};
    for (size_t i = 0; i < units.size(); ++i) {
        SCOPED_TRACE(units[i].path);
        produced_test::expectSoundVolume(units[i].path);
        EXPECT_EQ(labels[i], produced_test::volumeLabel(units[i].path));
    }
    plug(disk);

    // Plugged again (a built disk is ready again in user mode): Apply starts it again.
    click(PageUserTool::IDC_APPLY);
    EXPECT_EQ(page::UI_PRODUCING, state());
    ASSERT_TRUE(produced_test::waitBuilt(*m_station, 0));

    // Ready: Eject lets the disk go.
    click(PageUserTool::IDC_EJECT);
    const int ejecting = state();
    EXPECT_TRUE(ejecting == page::UI_EJECTING || ejecting == page::UI_UNPLUGGED) << ejecting;
    pull();

    // Producing (held there, as a run on this disk ends within a few
    // milliseconds): Eject takes the disk for gone at once.
    plug(disk);
    m_station->record(0).setState(page::UI_PRODUCING, Sptr<schema::UiEvent>());
    click(PageUserTool::IDC_EJECT);
    EXPECT_EQ(page::UI_UNPLUGGED, state());
    pull();
}

}  // namespace
