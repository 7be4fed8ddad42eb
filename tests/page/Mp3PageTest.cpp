// The MP3 page: the MP3 profile's values shown, edited, written back on
// every hide, and stored in the profile again.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <filesystem>

#include "page/PageMp3Setting.h"
#include "platform/mfc/MessageBox.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/ui/EngineHarness.h"
#include "support/QtApp.h"
#include "support/Screenshot.h"
#include "usb/profile/ProfileMp3.h"
#include "page/MavikConfig.h"

namespace {

using namespace Tessor;

class Mp3Page : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_support::qtApp(); }

    void SetUp() override
    {
        engine_test::EngineEnvironment::instance();
        schema::UsbConfiguration::instance()->setCurrentFunction(schema::FUNCTION_USER);
        // A profile of this test's own, as the sample gives it.
        m_profile = engine_test::EngineEnvironment::instance().folder() + "/Mp3Config.ini";
        m_saved = m_profile + ".kept";
        std::filesystem::copy_file(m_profile, m_saved, std::filesystem::copy_options::overwrite_existing);
        m_holder = std::make_unique<page::MavikConfig>(nullptr);
        m_holder->getConfigInfo()->setMp3Config(usb::ProfileMp3("Mp3Config").getMp3Config());
        m_page.holder = m_holder.get();
        m_page.reloadScanConfig();
        mfc::setMessageBoxService(m_boxes);
    }
    void TearDown() override
    {
        mfc::setMessageBoxService(nullptr);
        std::filesystem::rename(m_saved, m_profile);
    }

    Sptr<schema::Mp3Config> config() { return m_holder->getConfigInfo()->getMp3Config(); }

    std::string m_profile;
    std::string m_saved;
    std::unique_ptr<page::MavikConfig> m_holder;
    std::shared_ptr<mfc::HeadlessMessageBoxes> m_boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
    page::PageMp3Setting m_page;
};

TEST_F(Mp3Page, ShowsTheProfileAndWritesEditsBackOnHide)
{
    m_page.show();
    EXPECT_EQ("27", m_page.GetDlgItemText(1376));  // bKeyNEXT0
    EXPECT_TRUE(static_cast<QCheckBox*>(m_page.GetDlgItem(1316))->isChecked());  // NandEn
    EXPECT_TRUE(m_page.GetDlgItem(1376)->isEnabled());
    EXPECT_FALSE(m_page.GetDlgItem(1386)->isEnabled());
    test_support::saveScreenshot(m_page, "mp3-page");

    // Hidden unchanged: every field keeps its value.
    const int before = config()->getKeyCfg()->get("bKeyNEXT0");
    m_page.hide();
    EXPECT_EQ(before, config()->getKeyCfg()->get("bKeyNEXT0"));

    m_page.show();
    m_page.SetDlgItemText(1376, "-5");      // bKeyNEXT0
    m_page.SetDlgItemText(1395, "low");     // bBATData0: not a number, refused
    m_page.SetDlgItemText(1302, "2");       // bLedMode
    config()->getKeyCfg()->set("bKeyMODE1", 9);  // no control shows it
    m_page.hide();
    EXPECT_EQ(-5, config()->getKeyCfg()->get("bKeyNEXT0"));
    EXPECT_EQ(20, config()->getKeyCfg()->get("bBATData0"));
    EXPECT_EQ("20", m_page.GetDlgItemText(1395));
    EXPECT_EQ(2, config()->getKeyCfg()->get("bLedMode"));
    EXPECT_EQ(9, config()->getKeyCfg()->get("bKeyMODE1"));

    // Through the profile and back.
    ASSERT_EQ(0, usb::ProfileMp3("Mp3Config").setMp3Config(config()));
    Sptr<schema::Mp3Config> read = usb::ProfileMp3("Mp3Config").getMp3Config();
    EXPECT_EQ(-5, read->getKeyCfg()->get("bKeyNEXT0"));
    EXPECT_EQ(20, read->getKeyCfg()->get("bBATData0"));
    EXPECT_EQ(2, read->getKeyCfg()->get("bLedMode"));
    EXPECT_EQ(9, read->getKeyCfg()->get("bKeyMODE1"));
    EXPECT_EQ(config()->getSdcCfg()->get("wCmdRetry"), read->getSdcCfg()->get("wCmdRetry"));
}

TEST_F(Mp3Page, AnEditWhoseByteCannotHoldItsTextIsRefusedAndShowsTheStoredValue)
{
    m_page.show();
    const struct {
        int id;
        const char* field;
        const char* typed;
        int stored;  // and shown
        const char* refusal;
    } cases[] = {
        {1376, "bKeyNEXT0", "abc", 27, "MP3模式 NEXT"},
        {1377, "bKeyPREV0", "12abc", 22, "MP3模式 PRE"},
        {1378, "bKeyVOLD0", "99999999999", 17, "MP3模式 VOL-"},
        {1379, "bKeyVOLU0", "256", 10, "MP3模式 VOL+"},
        {1398, "bBATData3", "", 31, "电量值设置 HIGHT"},
        {1395, "bBATData0", "-128", -128, nullptr},
        {1302, "bLedMode", " 255 ", 255, nullptr},
    };
    for (const auto& c : cases) {
        m_boxes->clear();
        m_page.SetDlgItemText(c.id, QString::fromUtf8(c.typed));
        m_page.hide();
        EXPECT_EQ(c.stored, config()->getKeyCfg()->get(c.field)) << c.typed;
        EXPECT_EQ(QString::number(c.stored), m_page.GetDlgItemText(c.id).trimmed()) << c.typed;
        EXPECT_EQ(c.refusal ? QStringList{QString::fromUtf8(c.refusal) +
                                          ": Value invalid! Please enter the number -128 - 255"}
                            : QStringList(),
                  m_boxes->texts())
            << c.typed;
        m_page.show();
    }
}

TEST_F(Mp3Page, ValuesTheOperatorCannotChangeAreSavedAsTheyWere)
{
    config()->getSysCfg()->set("CardEn", 2);  // shown as a box that is on or off
    config()->getDecCfg()->set("bBufMsk", 112);
    m_page.show();
    EXPECT_FALSE(m_page.GetDlgItem(1318)->isEnabled());
    m_page.SetDlgItemText(1302, "5");  // bLedMode, the operator's own
    m_page.hide();
    ASSERT_EQ(0, usb::ProfileMp3("Mp3Config").setMp3Config(config()));
    Sptr<schema::Mp3Config> read = usb::ProfileMp3("Mp3Config").getMp3Config();
    EXPECT_EQ(2, read->getSysCfg()->get("CardEn"));
    EXPECT_EQ(112, read->getDecCfg()->get("bBufMsk"));
    EXPECT_EQ(5, read->getKeyCfg()->get("bLedMode"));
}

}  // namespace
