#include <gtest/gtest.h>

#include <string>

#include "support/TempFolder.h"
#include "platform/ini/Ini.h"
#include "schema/base/UsbConfiguration.h"
#include "usb/profile/ProfileMp3.h"

using Tessor::schema::Mp3Config;
using Tessor::schema::UsbConfiguration;
using Tessor::usb::ProfileMp3;

namespace {

class ProfileMp3Test : public ::testing::Test {
protected:
    std::string useProfile(const std::string& content)
    {
        std::string path = m_folder.write("mp3.ini", content);
        UsbConfiguration::instance(m_folder.write("t.cfg", "Mp3Profile string " + path + "\n"));
        return path;
    }
    std::string readKey(const std::string& path, const char* key)
    {
        char buffer[32];
        GetPrivateProfileStringA("Mp3Config", key, "<missing>", buffer, sizeof buffer, path.c_str());
        return buffer;
    }
    test_support::TempFolder m_folder;
};

TEST_F(ProfileMp3Test, SampleProfileGivesTheDefaults)
{
    useProfile(test_support::readFile(std::string(TESSOR_SAMPLES) + "/releases/usr/etc/Mp3Config.ini"));
    Sptr<Mp3Config> fromIni = ProfileMp3("Mp3Config").getMp3Config();
    Mp3Config defaults("defaults");
    unsigned char a[Mp3Config::RECORD_SIZE] = {};
    unsigned char b[Mp3Config::RECORD_SIZE] = {};
    fromIni->serialize(a);
    defaults.serialize(b);
    EXPECT_EQ(0, memcmp(a, b, sizeof a));
    EXPECT_STREQ("Mp3ConfigFromIni", fromIni->getName());
}

TEST_F(ProfileMp3Test, OddFields)
{
    useProfile("[Mp3Config]\nbBufNum=5\nbCsSel=6\nbSpmCsSel=7\n");
    ProfileMp3 profile("Mp3Config");
    Sptr<Mp3Config> config = profile.getMp3Config();
    using Tessor::schema::Mp3Block;
    struct Case {
        Mp3Block* block;
        int field;
        int value;
    } cases[] = {{config->getSpiCfg().get(), 0, 0},
                 {config->getI2cCfg().get(), 1, 0},
                 {config->getLcmCfg().get(), 3, 6},
                 {config->getLcmCfg().get(), 4, 5},
                 {config->getSpiCfg().get(), 4, 7}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.value, c.block->getField(c.field)) << c.block->getName() << " " << c.field;
    }
}

TEST_F(ProfileMp3Test, SavingWritesEveryKeyFromItsOwnBlock)
{
    std::string path = useProfile("[Mp3Config]\n");
    ProfileMp3 profile("Mp3Config");
    Sptr<Mp3Config> config(new Mp3Config("edited"));
    config->getSysCfg()->set("NandEn", 1);
    config->getSpiCfg()->set("bSpmCsSel", 2);
    config->getSpiCfg()->set("bBufNum", 9);
    config->getLcmCfg()->set("bCsSel", 3);
    config->getLcmCfg()->set("bBufNum", 4);
    config->getKeyCfg()->set("bLedMode", 8);
    ASSERT_EQ(0, profile.setMp3Config(config));
    struct Case {
        const char* key;
        const char* value;
    } cases[] = {{"NandEn", "1"}, {"bSpmCsSel", "2"}, {"bCsSel", "3"}, {"bBufNum", "4"}, {"bLedMode", "8"},
                 {"bClkDiv", "15000"}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.value, readKey(path, c.key)) << c.key;
    }
    std::string text = test_support::readFile(path);
    EXPECT_EQ(text.find("bBufNum="), text.rfind("bBufNum="));

    Sptr<Mp3Config> back = ProfileMp3("Mp3Config").getMp3Config();
    EXPECT_EQ(2, back->getSpiCfg()->get("bSpmCsSel"));
    EXPECT_EQ(0, back->getSpiCfg()->get("bBufNum"));
    EXPECT_EQ(3, back->getLcmCfg()->get("bCsSel"));
    EXPECT_EQ(4, back->getLcmCfg()->get("bBufNum"));
    EXPECT_EQ(8, back->getKeyCfg()->get("bLedMode"));
}

TEST_F(ProfileMp3Test, MissingSectionGivesZeros)
{
    useProfile("[Other]\nNandEn=1\n");
    Sptr<Mp3Config> config = ProfileMp3("Mp3Config").getMp3Config();
    unsigned char record[Mp3Config::RECORD_SIZE] = {};
    config->serialize(record);
    for (int i = 0; i < Mp3Config::RECORD_SIZE; ++i) {
        EXPECT_EQ(0, record[i]) << i;
    }
}

}  // namespace
