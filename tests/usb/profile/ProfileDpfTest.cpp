#include <gtest/gtest.h>

#include <string>

#include "support/TempFolder.h"
#include "platform/ini/Ini.h"
#include "schema/base/UsbConfiguration.h"
#include "usb/profile/ProfileDpf.h"

using Tessor::schema::DpfConfig;
using Tessor::schema::UsbConfiguration;
using Tessor::usb::ProfileDpf;

namespace {

class ProfileDpfTest : public ::testing::Test {
protected:
    std::string useProfile(const std::string& content)
    {
        std::string path = m_folder.write("dpf.ini", content);
        UsbConfiguration::instance(m_folder.write("t.cfg", "DpfProfile string " + path + "\n"));
        return path;
    }
    std::string sample() const
    {
        return test_support::readFile(std::string(TESSOR_SAMPLES) + "/releases/usr/etc/DpfConfig.ini");
    }
    static std::string readKey(const std::string& path, const char* key)
    {
        char buffer[300];
        GetPrivateProfileStringA("DpfConfig", key, "<missing>", buffer, sizeof buffer, path.c_str());
        return buffer;
    }
    test_support::TempFolder m_folder;
};

TEST_F(ProfileDpfTest, ValuesKeepTheirWidthsAndPlaces)
{
    std::string path = useProfile("[DpfConfig]\nKeyDetMin=300\nMaxPhotoCount=70000\nIdleVal=65537\n"
                                  "OSDColMin=1\nOSDRowMin=2\nOSDRowMax=3\nOSDColMax=4\nMainMenuExitStyle=2\n"
                                  "CurColour=0x123456\nClockMenuEn=0\nClockMenuPosition=9\n");
    ProfileDpf profile("DpfConfig");
    Sptr<DpfConfig> config = profile.getDpfConfig();
    EXPECT_STREQ("DpfConfigFromIni", config->getName());
    EXPECT_EQ(44, config->getHwControl()->KeyDetMin);
    EXPECT_EQ(4464u, config->getMaxImagesCount());
    EXPECT_EQ(1, config->getHwControl()->IdleVal);
    const Tessor::schema::ItemCoordinate* osd = config->getCoordinate(0);
    EXPECT_EQ(1, osd->Top);
    EXPECT_EQ(2, osd->Left);
    EXPECT_EQ(3, osd->Right);
    EXPECT_EQ(4, osd->Bottom);
    EXPECT_EQ(1, config->getMenuCfg()->getMenuList(0)->getStyle());
    EXPECT_EQ(0x123456, config->getStateControl()->CurColour);
    EXPECT_FALSE(config->getMenuCfg()->getSubMenuItem(0, 0)->getState());
    EXPECT_EQ(9, config->getMenuCfg()->getSubMenuItem(0, 0)->getPosition());

    ASSERT_EQ(0, profile.setDpfConfig(config));
    struct Case {
        const char* key;
        const char* value;
    } cases[] = {{"KeyDetMin", "44"}, {"MaxPhotoCount", "4464"}, {"MainMenuExitStyle", "1"},
                 {"OSDColMin", "1"},  {"CurColour", "1193046"},  {"ClockMenuEn", "0"},
                 {"ClockMenuPosition", "9"}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.value, readKey(path, c.key)) << c.key;
    }
}

TEST_F(ProfileDpfTest, MenuEntriesDecideTheSharedKeys)
{
    std::string path = useProfile(sample());
    ProfileDpf profile("DpfConfig");
    Sptr<DpfConfig> config = profile.getDpfConfig();
    config->getStateControl()->CarlendarEn = true;
    config->getStateControl()->AnalogClockEn = true;
    config->getMenuCfg()->getSubMenuItem(6, 26)->setState(false);
    config->getMenuCfg()->getSubMenuItem(6, 24)->setState(false);
    ASSERT_EQ(0, profile.setDpfConfig(config));
    EXPECT_EQ("0", readKey(path, "CarlendarEn"));
    EXPECT_EQ("0", readKey(path, "AnalogClockEn"));
}

TEST_F(ProfileDpfTest, FoldersAndTexts)
{
    std::string path = useProfile(sample());
    ProfileDpf profile("DpfConfig");
    Sptr<DpfConfig> config = profile.getDpfConfig();
    EXPECT_EQ("releases\\dpf\\movie\\", config->getHome4Movie());
    EXPECT_EQ("LCD128x128", config->getLcdTpye());
    config->setHome4Photo("elsewhere");
    config->setHome4Movie("movies");
    config->SetLcdTpye(std::string(60, 'T'));
    ASSERT_EQ(0, profile.setDpfConfig(config));
    EXPECT_EQ("releases\\dpf\\photo\\", readKey(path, "PhotoPath"));
    EXPECT_EQ("releases\\dpf\\ebook\\", readKey(path, "EbookTextPath"));
    EXPECT_EQ("movies", readKey(path, "MoviePath"));
    EXPECT_EQ(std::string(49, 'T'), readKey(path, "Lcd_Type"));
}

TEST_F(ProfileDpfTest, SampleRoundTripsUnchanged)
{
    std::string path = useProfile(sample());
    ProfileDpf profile("DpfConfig");
    ASSERT_EQ(0, profile.setDpfConfig(profile.getDpfConfig()));
    EXPECT_EQ(sample(), test_support::readFile(path));
}

TEST_F(ProfileDpfTest, MissingFileGivesZerosAndNone)
{
    useProfile("");
    Sptr<DpfConfig> config = ProfileDpf("DpfConfig").getDpfConfig();
    EXPECT_EQ(0, config->getHwControl()->KeyDetMax);
    EXPECT_FALSE(config->getStateControl()->SlideEn);
    EXPECT_EQ(0u, config->getMaxImagesCount());
    EXPECT_EQ(0, config->getCoordinate(9)->Bottom);
    EXPECT_FALSE(config->getMenuCfg()->getSubMenuItem(7, 29)->getState());
    EXPECT_EQ("NONE", config->getHome4Movie());
    EXPECT_EQ("NONE", config->getLcdTpye());
}

TEST(DpfMenus, BuiltInTable)
{
    Tessor::schema::DpfMenuCfg menus("menus");
    EXPECT_EQ(7, menus.getCount());
    EXPECT_EQ(0, menus.getMenuList(3)->getCount());
    EXPECT_FALSE(menus.getMenuList(5));
    Sptr<Tessor::schema::DpfMenuItem> usb = menus.getSubMenuItem(0, 4);
    EXPECT_STREQ("MainL0UsbConnect", usb->getName());
    EXPECT_EQ(6, usb->getPosition());
    EXPECT_EQ(5, menus.getSubMenuItem(0, 5)->getPosition());
    EXPECT_FALSE(menus.getSubMenuItem(1, 13));
    EXPECT_EQ("L0Clock", menus.getMenuList(2)->getMenuName());
    EXPECT_EQ(4, menus.getMenuList(2)->getCount());
}

}  // namespace
