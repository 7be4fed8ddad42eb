// The run settings the pages edit: held as a copy of their own, counted,
// converted, and committed to the engine and the user profile.
#include <gtest/gtest.h>

#include "utils/AnsiText.h"
#include "schema/ui/EngineHarness.h"
#include "usb/profile/ProfileUser.h"
#include "page/MavikConfig.h"

namespace {

using namespace Tessor;
using schema::ConfigInfo;
using schema::PartInfo;

Sptr<ConfigInfo> settingsWith(std::initializer_list<int> sizes)
{
    Sptr<ConfigInfo> settings(new ConfigInfo());
    for (int size : sizes) {
        settings->addPartInfo(Sptr<PartInfo>(new PartInfo(size)));
    }
    return settings;
}

class MavikConfigTest : public ::testing::Test {
protected:
    void SetUp() override { schema::UsbConfiguration::instance()->setCurrentFunction(schema::FUNCTION_FACTORY); }
    // The UI manager reads the station's configuration as it is made.
    engine_test::EngineEnvironment& m_environment = engine_test::EngineEnvironment::instance();
    schema::UiInterfaceMgr m_ui{nullptr};
};

TEST_F(MavikConfigTest, CountsTheLeadingPartitionsThatHaveASize)
{
    page::MavikConfig holder(&m_ui);
    const struct {
        std::initializer_list<int> sizes;
        int active;
    } cases[] = {{{100, 0, 50}, 1}, {{}, 0}, {{100, 200, 300}, 3}, {{0, 100}, 0}};
    for (const auto& c : cases) {
        holder.setConfigInfo(settingsWith(c.sizes));
        EXPECT_EQ(holder.getActivePartitions(), c.active);
    }
}

TEST_F(MavikConfigTest, KeepsACopyOfItsOwnAndFreesNoCopyStillHeld)
{
    page::MavikConfig holder(&m_ui);
    Sptr<ConfigInfo> given = settingsWith({100, 200});
    holder.setConfigInfo(given);
    given->setVendorString("changed later");
    Sptr<ConfigInfo> heldByAPage = holder.getConfigInfo();
    EXPECT_NE(heldByAPage->getVendorString(), "changed later");
    holder.setConfigInfo(settingsWith({5}));
    EXPECT_EQ(heldByAPage->getPartCount(), 2);
    EXPECT_EQ(holder.getConfigInfo()->getPartCount(), 1);
}

TEST_F(MavikConfigTest, ConvertsTextFieldsThroughTheChineseCodePage)
{
    page::MavikConfig holder(&m_ui);
    Sptr<ConfigInfo> settings = settingsWith({100, 200});
    settings->getPartInfo(1)->setVolumeLabel(utils::toAnsi(QString::fromUtf8("卷标")));
    holder.setConfigInfo(settings);
    EXPECT_EQ(holder.partInfoToWide(1), QString::fromUtf8("卷标"));
    EXPECT_EQ(holder.partInfoToWide(3), std::nullopt);
    EXPECT_EQ(holder.partInfoCopyPathToWide(2), std::nullopt);
    holder.toMultiByteStringVendor(QString::fromUtf8("厂商"));
    EXPECT_EQ(holder.getConfigInfo()->getVendorString(), utils::toAnsi(QString::fromUtf8("厂商")));
}

TEST_F(MavikConfigTest, CommitHandsACopyToTheEngineAndWritesTheUserProfile)
{
    page::MavikConfig holder(&m_ui);
    holder.toMultiByteStringProduct("Committed Disk");
    ASSERT_EQ(holder.commitConfigInfo(), 0);
    EXPECT_EQ(m_ui.getConfigInfo()->getProductString(), "Committed Disk");
    EXPECT_NE(m_ui.getConfigInfo().get(), holder.getConfigInfo().get());
    usb::ProfileUser reread("SettingInformation");
    EXPECT_EQ(reread.getConfigInfo()->getProductString(), "Committed Disk");
}

}  // namespace
