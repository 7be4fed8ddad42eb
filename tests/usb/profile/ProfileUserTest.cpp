#include <gtest/gtest.h>

#include <string>

#include "support/LogCapture.h"
#include "platform/ini/Ini.h"
#include "schema/base/UsbConfiguration.h"
#include "usb/profile/ProfileUser.h"
#include "usb/profile/uniSerialNO.h"

using Tessor::schema::ConfigInfo;
using Tessor::schema::UsbConfiguration;
using Tessor::usb::ProfileUser;

namespace {

class ProfileUserTest : public ::testing::Test {
protected:
    // A configuration whose user profile is the given file.
    void useProfile(const std::string& path)
    {
        UsbConfiguration::instance(m_folder.write("t.cfg", "UserProfile string " + path + "\n"));
    }
    std::string sample() const { return std::string(TESSOR_SAMPLES) + "/releases/usr/etc/UserSetting.ini"; }
    test_support::TempFolder m_folder;
};

TEST_F(ProfileUserTest, SampleProfileGivesTheRunSettings)
{
    useProfile(m_folder.write("user.ini", test_support::readFile(sample())));
    ProfileUser profile("SettingInformation");
    Sptr<ConfigInfo> info = profile.getConfigInfo();
    EXPECT_EQ("VDemo", info->getVendorString());
    EXPECT_EQ("FlashDsk", info->getProductString());
    EXPECT_EQ(4660, info->getVendorCode());
    EXPECT_EQ(22136, info->getProductCode());
    EXPECT_EQ("", info->getPassword());
    EXPECT_EQ(2, info->getSnMode());
    EXPECT_EQ("DEMO", info->getSerialNoLabel());
    EXPECT_EQ(16777216u, info->getSerialNoStart());
    EXPECT_EQ(1u, Tessor::schema::uniSerialNO::instance()->peekSerialNO());
    EXPECT_EQ(1, info->getScanConfig()->getScanLevel());
    EXPECT_TRUE(info->getScanConfig()->getEccStatus());
    EXPECT_EQ(1, info->getLedStatus());
    ASSERT_EQ(1, info->getPartCount());
    EXPECT_EQ(131072u, info->getPartInfo(0)->getCapacity());
    EXPECT_EQ("DEMO", info->getPartInfo(0)->getVolumeLabel());
    EXPECT_EQ("", info->getPartInfo(0)->getCopyPath());
}

TEST_F(ProfileUserTest, WrittenProfileReadsBackUnchanged)
{
    std::string path = m_folder.write("user.ini", test_support::readFile(sample()));
    useProfile(path);
    ProfileUser first("SettingInformation");
    Sptr<ConfigInfo> info = first.getConfigInfo();
    info->setPassword("pw");
    // As the settings page stores a typed start: packed, and the counter seeded.
    info->setSerialNoStart(0x78563412u);
    Tessor::schema::uniSerialNO::instance(12345678);
    Sptr<Tessor::schema::PartInfo> part(new Tessor::schema::PartInfo(2048));
    part->setIsEncrypted(true);
    part->setCopyPath("releases\\dpf\\photo");
    info->addPartInfo(part);
    ASSERT_EQ(0, first.setConfigInfo(info));
    std::string written = test_support::readFile(path);
    EXPECT_NE(std::string::npos, written.find("Mp3Code=NULL"));

    ProfileUser second("SettingInformation");
    Sptr<ConfigInfo> again = second.getConfigInfo();
    EXPECT_EQ("pw", again->getPassword());
    EXPECT_EQ(0x78563412u, again->getSerialNoStart());
    EXPECT_EQ(12345678u, Tessor::schema::uniSerialNO::instance()->peekSerialNO());
    ASSERT_EQ(2, again->getPartCount());
    EXPECT_TRUE(again->getPartInfo(1)->getIsEncrypted());
    EXPECT_EQ("releases\\dpf\\photo", again->getPartInfo(1)->getCopyPath());
    ASSERT_EQ(0, second.setConfigInfo(again));
    EXPECT_EQ(written, test_support::readFile(path));
}

TEST_F(ProfileUserTest, MissingProfileGivesNoneTextsAndNoPartitions)
{
    useProfile(m_folder.file("absent.ini"));
    ProfileUser profile("SettingInformation");
    Sptr<ConfigInfo> info = profile.getConfigInfo();
    EXPECT_EQ("NONE", info->getVendorString());
    EXPECT_EQ("NONE", info->getPassword());
    EXPECT_EQ("NONE", info->getSerialNoLabel());
    EXPECT_EQ(0, info->getPartCount());
    EXPECT_EQ(0u, info->getSerialNoStart());
    EXPECT_EQ(0u, Tessor::schema::uniSerialNO::instance()->peekSerialNO());
}

TEST_F(ProfileUserTest, TextValues)
{
    std::string longText(400, 'x');
    useProfile(m_folder.write("user.ini", "[SettingInformation]\nVendorString=NONE\nProductString=none\n"
                                          "Password=" + longText + "\nSerialNoLabel=\n"));
    Sptr<ConfigInfo> info = ProfileUser("SettingInformation").getConfigInfo();
    EXPECT_EQ("NONE", info->getVendorString());
    EXPECT_EQ("none", info->getProductString());
    EXPECT_EQ(std::string(259, 'x'), info->getPassword());
    EXPECT_EQ("", info->getSerialNoLabel());
}

TEST_F(ProfileUserTest, GapsInThePartitionsCloseUp)
{
    std::string path = m_folder.write("user.ini", "[SettingInformation]\nPtnCapacity0=0\nPtnCapacity1=100\n"
                                                  "VolumeLabel1=ONE\nPtnHid0=1\nBootType=1\n");
    useProfile(path);
    ProfileUser profile("SettingInformation");
    Sptr<ConfigInfo> info = profile.getConfigInfo();
    ASSERT_EQ(1, info->getPartCount());
    EXPECT_EQ(100u, info->getPartInfo(0)->getCapacity());
    EXPECT_EQ("ONE", info->getPartInfo(0)->getVolumeLabel());
    EXPECT_EQ(0, info->getPartInfo(0)->getBootType());
    EXPECT_FALSE(info->getPartInfo(0)->getHide());

    ASSERT_EQ(0, profile.setConfigInfo(info));
    struct Case {
        const char* key;
        const char* value;
    } cases[] = {{"PtnCapacity0", "100"}, {"VolumeLabel0", "ONE"}, {"PtnCapacity1", "0"},
                 {"VolumeLabel1", ""},    {"PtnCapacity2", "0"},   {"CopyPath2", ""}};
    for (const Case& c : cases) {
        char buffer[32];
        GetPrivateProfileStringA("SettingInformation", c.key, "<missing>", buffer, sizeof buffer, path.c_str());
        EXPECT_STREQ(c.value, buffer) << c.key;
    }
}

// Labels and copy paths are read in GBK, as the window writes them: the
// bytes of a GBK text are kept, and a text that is not one (a profile saved
// in UTF-8 whose bytes GBK cannot read) is refused with its key and code.
TEST_F(ProfileUserTest, LabelsAndPathsAreReadInGbk)
{
    const std::string gbkData = "\xCA\xFD\xBE\xDD";  // 数据
    const std::string utf8Middle = "\xE4\xB8\xAD";      // 中, half a character in GBK
    struct Case {
        std::string key;
        std::string value;
        int code;  // 0: taken as it stands
    } cases[] = {{"VolumeLabel0", gbkData, 0},
                 {"VolumeLabel0", utf8Middle, 0x8013},
                 {"CopyPath0", "/content/" + gbkData, 0},
                 {"CopyPath0", "/content/" + utf8Middle, 0x8015}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key + "=" + c.value);
        useProfile(m_folder.write("user.ini", "[SettingInformation]\nPtnCapacity0=100\n" + c.key + "=" + c.value + "\n"));
        Sptr<ConfigInfo> info = ProfileUser("SettingInformation").getConfigInfo();
        EXPECT_EQ(info->getRefusalCode(), c.code);
        if (c.code != 0) {
            EXPECT_NE(info->getRefusal().find(c.key + "="), std::string::npos) << info->getRefusal();
            EXPECT_NE(info->getRefusal().find("GBK"), std::string::npos) << info->getRefusal();
            continue;
        }
        ASSERT_EQ(1, info->getPartCount());
        const auto part = info->getPartInfo(0);
        EXPECT_EQ(c.key == "CopyPath0" ? part->getCopyPath() : part->getVolumeLabel(), c.value);
    }
}

TEST_F(ProfileUserTest, UnwritableProfileFailsAfterTheFirstKey)
{
    useProfile(m_folder.file("no-such-folder/user.ini"));
    test_support::LogCapture log;
    ProfileUser profile("SettingInformation");
    EXPECT_EQ(-1, profile.setConfigInfo(profile.getConfigInfo()));
    EXPECT_TRUE(log.contains("field 'autoStart' encoding failed : "));
    EXPECT_FALSE(log.contains("field 'blockMode' encoding failed"));
}

TEST_F(ProfileUserTest, SectionNamesGrowTheirBuffer)
{
    std::string content;
    for (int i = 0; i < 600; ++i) {
        content += "[Section" + std::to_string(i) + "]\nk=v\n";
    }
    useProfile(m_folder.write("many.ini", content));
    ProfileUser profile("SettingInformation");
    EXPECT_EQ(600, profile.decodeSecNames(""));
    EXPECT_EQ("Section599", *profile.getSectionList().back());
}

}  // namespace
