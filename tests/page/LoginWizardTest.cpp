// The login wizard of login mode on a disk produced before with an encrypted
// partition and a password: Next only once the disk is ready, a wrong password keeps the operator on the password page, the right
// one starts the disk and the result page shows its outcome, and a changed
// password lands in the table on the disk's flash.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <filesystem>
#include <fstream>

#include "ProducedDisk.h"
#include "page/PageLoginDevice.h"
#include "page/PageLoginPasswd.h"
#include "page/PageLoginResult.h"
#include "platform/mfc/MessageBox.h"
#include "platform/mfc/PropertySheet.h"
#include "schema/device/ScanConfig.h"
#include "support/Screenshot.h"
#include "support/SystemAreaReader.h"
#include "support/TempFolder.h"

namespace {

using namespace Tessor;
using mfc::CPropertySheet;
using page::PageLoginPasswd;
using test_support::waitOnGui;

const char* const HELD = "0ldSecret7";
constexpr int MB = 2048;

class LoginWizard : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_support::qtApp(); }

    void SetUp() override { mfc::setMessageBoxService(m_boxes); }
    void TearDown() override
    {
        m_station.reset();
        schema::UsbConfiguration::instance()->setCurrentFunction(schema::FUNCTION_FACTORY);
    }

    // A disk produced with the password HELD on its encrypted partition (a
    // login unit with the login content, and the hidden unit behind it),
    // plugged into a login station showing the wizard.
    void plugProducedDisk(const std::string& name)
    {
        schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
        const std::string loginContent = config->getLoginIsoFile();
        std::filesystem::create_directories(m_content.path() + "/login");
        std::ofstream(m_content.path() + "/login/login.txt") << "the login unit\n";
        config->setLoginIsoFile(m_content.path() + "/login");
        m_disk = produced_test::produce(name, produced_test::bigDevice(), [](schema::ConfigInfo& settings) {
            settings.clearData();
            settings.setPassword(HELD);
            settings.setCapacityPolicy(schema::CAPACITY_BEGIN_IS_FIRST);
            settings.setConfigCapacity(0);
            Sptr<schema::PartInfo> encrypted(new schema::PartInfo(16 * MB));
            encrypted->setIsEncrypted(true);
            settings.addPartInfo(encrypted);
        });
        config->setLoginIsoFile(loginContent);
        ASSERT_FALSE(m_disk.empty());
        m_station = std::make_unique<bridge_test::SheetStation>(1, schema::FUNCTION_LOGIN);
        sheet().show();
        sheet().SetActivePage(0);
        EXPECT_FALSE(sheetButton(CPropertySheet::ID_WIZNEXT).isEnabled());
        std::string error;
        ASSERT_EQ(0, m_station->hub().plug(0, m_disk, &error)) << error;
        ASSERT_TRUE(produced_test::waitReady(*m_station, 0));
    }

    CPropertySheet& sheet() { return m_station->sheet(); }
    QAbstractButton& sheetButton(int id) { return *static_cast<QAbstractButton*>(sheet().GetDlgItem(id)); }
    PageLoginPasswd& passwordPage() { return *dynamic_cast<PageLoginPasswd*>(sheet().GetPage(1)); }
    QLineEdit& edit(int id) { return *static_cast<QLineEdit*>(passwordPage().GetDlgItem(id)); }
    QString result() { return sheet().GetPage(2)->GetDlgItemText(page::PageLoginResult::IDC_RESULT); }

    std::shared_ptr<mfc::HeadlessMessageBoxes> m_boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
    test_support::TempFolder m_content;
    std::string m_disk;
    std::unique_ptr<bridge_test::SheetStation> m_station;
};

TEST_F(LoginWizard, TheRightPasswordStartsTheDiskAndTheResultPageShowsTheOutcome)
{
    plugProducedDisk("login-wizard");
    test_support::saveScreenshot(sheet(), "login-wizard-device");
    ASSERT_TRUE(waitOnGui([&] { return sheetButton(CPropertySheet::ID_WIZNEXT).isEnabled(); }));
    sheetButton(CPropertySheet::ID_WIZNEXT).click();
    ASSERT_EQ(1, sheet().GetActiveIndex());
    EXPECT_TRUE(sheetButton(CPropertySheet::ID_WIZBACK).isEnabled());

    edit(PageLoginPasswd::IDC_PASSWORD).setText("Wr0ngGuess3");
    test_support::saveScreenshot(sheet(), "login-wizard-password");
    sheetButton(CPropertySheet::ID_WIZNEXT).click();
    EXPECT_EQ(1, sheet().GetActiveIndex());
    EXPECT_EQ(QStringList{"Password is not correct, please re-input it"}, m_boxes->texts());
    EXPECT_EQ(1, m_station->app().config->getConfigInfo()->getLoginOp());
    EXPECT_EQ(page::UI_READY, m_station->record(0).getState());

    m_boxes->clear();
    edit(PageLoginPasswd::IDC_PASSWORD).setText(HELD);
    sheetButton(CPropertySheet::ID_WIZNEXT).click();
    EXPECT_EQ(2, sheet().GetActiveIndex());
    EXPECT_TRUE(m_boxes->texts().isEmpty());
    ASSERT_TRUE(waitOnGui([&] { return result() == "UDisk Operation OK"; }))
        << result().toStdString() << " state " << m_station->record(0).getState() << ": "
        << m_station->record(0).getStatusText();
    EXPECT_EQ("OK", sheet().GetDlgItemText(CPropertySheet::ID_WIZFINISH));
    EXPECT_TRUE(sheetButton(CPropertySheet::ID_WIZFINISH).isVisible());
    EXPECT_FALSE(sheetButton(CPropertySheet::ID_WIZNEXT).isVisible());
    test_support::saveScreenshot(sheet(), "login-wizard-result");
}

TEST_F(LoginWizard, PasswordRulesOnThePasswordPage)
{
    plugProducedDisk("login-rules");
    sheet().SetActivePage(1);
    struct Case {
        QString typed;
        int kept;
        bool message;
    } const cases[] = {{QString(17, 'p'), 17, false}, {QString(18, 'p'), 17, true}};
    for (const Case& c : cases) {
        m_boxes->clear();
        edit(PageLoginPasswd::IDC_NEW_FIRST).setText(c.typed);
        EXPECT_EQ(c.kept, edit(PageLoginPasswd::IDC_NEW_FIRST).text().size());
        EXPECT_EQ(c.message, m_boxes->texts() == QStringList{"Password is not more than 17 characters!"});
    }

    // Two different new passwords: nothing stored, the page stays.
    auto& page = passwordPage();
    static_cast<QAbstractButton*>(page.GetDlgItem(PageLoginPasswd::IDC_MODIFY))->click();
    EXPECT_TRUE(page.GetDlgItem(PageLoginPasswd::IDC_NEW_SECOND)->isEnabled());
    EXPECT_EQ("Change password", page.GetDlgItemText(PageLoginPasswd::IDC_TITLE));
    edit(PageLoginPasswd::IDC_PASSWORD).setText(HELD);
    edit(PageLoginPasswd::IDC_NEW_FIRST).setText("N3wSecret9");
    edit(PageLoginPasswd::IDC_NEW_SECOND).setText("N3wSecret8");
    m_boxes->clear();
    EXPECT_EQ(-1, page.OnWizardNext());
    EXPECT_EQ(QStringList{"The 2 new password are not same"}, m_boxes->texts());
    EXPECT_EQ("", m_station->app().config->getConfigInfo()->getNewPassword());

    // Unprotected clears the change of password: operation 2.
    static_cast<QAbstractButton*>(page.GetDlgItem(PageLoginPasswd::IDC_UNPROTECT))->click();
    EXPECT_FALSE(page.GetDlgItem(PageLoginPasswd::IDC_MODIFY)->isEnabled());
    EXPECT_EQ("Change a partition as writable", page.GetDlgItemText(PageLoginPasswd::IDC_TITLE));
    // While the disk is busy nothing is sent, and the wizard still goes on.
    m_station->record(0).setState(page::UI_PRODUCING, Sptr<schema::UiEvent>());
    EXPECT_EQ(0, page.OnWizardNext());
    EXPECT_EQ(2, m_station->app().config->getConfigInfo()->getLoginOp());
    EXPECT_EQ(2, m_station->record(0).getRunSettings()->getLoginOp());
    EXPECT_EQ("StateWait", m_station->engineState(0));
}

TEST_F(LoginWizard, APasswordChangeReachesTheDisksTable)
{
    plugProducedDisk("login-change");
    ASSERT_TRUE(waitOnGui([&] { return sheetButton(CPropertySheet::ID_WIZNEXT).isEnabled(); }));
    sheetButton(CPropertySheet::ID_WIZNEXT).click();
    static_cast<QAbstractButton*>(passwordPage().GetDlgItem(PageLoginPasswd::IDC_MODIFY))->click();
    edit(PageLoginPasswd::IDC_PASSWORD).setText(HELD);
    edit(PageLoginPasswd::IDC_NEW_FIRST).setText("N3wSecret9");
    edit(PageLoginPasswd::IDC_NEW_SECOND).setText("N3wSecret9");
    sheetButton(CPropertySheet::ID_WIZNEXT).click();
    EXPECT_EQ(2, sheet().GetActiveIndex());
    EXPECT_EQ(3, m_station->record(0).getRunSettings()->getLoginOp());
    ASSERT_TRUE(waitOnGui([&] { return result() == "UDisk Operation OK"; }))
        << result().toStdString() << ": " << m_station->record(0).getStatusText();
    EXPECT_TRUE(m_boxes->texts().isEmpty());
    // The table's build information on the flash holds the new password,
    // and plugged again the disk gives it to the pages.
    ASSERT_EQ(0, m_station->hub().unplug(0));
    ASSERT_TRUE(waitOnGui([&] { return m_station->record(0).getState() == page::UI_UNPLUGGED; }));
    const system_area::SystemArea area = system_area::read(m_disk);
    ASSERT_EQ("", area.error);
    ASSERT_FALSE(area.copies.empty());
    for (const system_area::Copy& copy : area.copies) {
        EXPECT_EQ("N3wSecret9", copy.buildRecord.password) << copy.tablePage;
    }
    std::string error;
    ASSERT_EQ(0, m_station->hub().plug(0, m_disk, &error)) << error;
    ASSERT_TRUE(waitOnGui([&] {
        return m_station->record(0).getState() == page::UI_READY &&
               m_station->app().config->getConfigInfo()->getPassword() == "N3wSecret9";
    })) << m_station->app().config->getConfigInfo()->getPassword();
}

}  // namespace
