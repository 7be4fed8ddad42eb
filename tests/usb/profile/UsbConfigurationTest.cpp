#include <gtest/gtest.h>

#include <string>

#include "support/LogCapture.h"
#include "platform/taval/Taval.h"
#include "schema/base/UsbConfiguration.h"

using Tessor::schema::UsbConfiguration;

namespace {

const char* const FULL_CONFIG =
    "\xEF\xBB\xBFUser_Name        string  operator one\n"
    "# factory station\n"
    "Display_Name     string  Station 1\n"
    "Pass_Word        string  secret99\n"
    "Log_Size         int     2048\n"
    "Log_Level        int     6\n"
    "LogFilename      string  tessor\n"
    "WatchDog_Time    int     9\n"
    "Device_Name      string  UDISK\n"
    "Timeout          int     30\n"
    "PlugIn           list    Udisk  usbmgr.so\n"
    "Device_Count     int     4\n"
    "FlashProfile     string  releases\\usr\\etc\\FlashChip.ini\n"
    "LcdProfile       string  lcd.ini\n"
    "UserProfile      string  user.ini\n"
    "DpfProfile       string  dpf.ini\n"
    "Mp3Profile       string  mp3.ini\n"
    "ScanCode         list    6706  code\\scan6706.bin\n"
    "UdiskCode        list    6716  udisk6716.bin\n"
    "DpfCode          list    6716V31  dpf.bin\n"
    "DpfSupport       bool    True\n"
    "Mp3Support       bool    True\n"
    "CurrentFunction  string  UDiskFactory\n"
    "ChipSet          string  6716\n"
    "SampleFile       string  sample.dat\n"
    "BootFile         string  boot\n"
    "LoginFile        string  Login.iso\n"
    "LocaleFile       list    sChinese  zh_CN.ini\n"
    "UpperRation      int     90\n"
    "Version          string  01020304\n"
    "CfgTableCount    int     2\r\n";

class UsbConfigurationTest : public ::testing::Test {
protected:
    UsbConfiguration* load(const std::string& content)
    {
        UsbConfiguration::instance(m_folder.write("tessor.cfg", content));
        return UsbConfiguration::instance();
    }
    test_support::TempFolder m_folder;
};

TEST_F(UsbConfigurationTest, EveryTagTakesItsValue)
{
    UsbConfiguration* c = load(FULL_CONFIG);
    EXPECT_EQ("operator one", c->getUserName());
    EXPECT_EQ("Station 1", c->getDisplayName());
    EXPECT_EQ("secret99", c->getPassword());
    EXPECT_EQ(2048, c->getLogSize());
    EXPECT_EQ(6, c->getLogLevel());
    EXPECT_EQ("tessor", c->getLogFilename());
    EXPECT_EQ(9, c->getWatchDogTime());
    EXPECT_EQ("UDISK", c->getDeviceName());
    EXPECT_EQ(30, c->getTimeout());
    EXPECT_EQ("usbmgr.so", c->getPlugIns().at("Udisk"));
    EXPECT_EQ(4, c->getDeviceCount());
    EXPECT_EQ("releases/usr/etc/FlashChip.ini", c->getFlashFileName());
    EXPECT_EQ("lcd.ini", c->getLcdFileName());
    EXPECT_EQ("user.ini", c->getUserFileName());
    EXPECT_EQ("dpf.ini", c->getDpfFileName());
    EXPECT_EQ("mp3.ini", c->getMp3FileName());
    EXPECT_EQ(std::list<std::string>{"code/scan6706.bin"}, *c->getScanCodeList(Tessor::schema::CHIPSET_6706));
    EXPECT_EQ(std::list<std::string>{"udisk6716.bin"}, *c->getUdiskCodeList());
    EXPECT_EQ(std::list<std::string>{"dpf.bin"}, *c->getDpfCodeList(Tessor::schema::CHIPSET_6716V31));
    EXPECT_TRUE(c->isDpfSupport());
    EXPECT_TRUE(c->isMp3Support());
    EXPECT_EQ(Tessor::schema::FUNCTION_FACTORY, c->getCurrentFunction());
    EXPECT_EQ(Tessor::schema::CHIPSET_6716, c->getChipSet());
    EXPECT_STREQ(usbDeviceFindHwVersion(Tessor::schema::CHIPSET_6716)->name, c->getHwVersionName());
    EXPECT_EQ(300, c->getHwVersion()->version);
    EXPECT_EQ("sample.dat", c->getSampleFileName());
    EXPECT_EQ("boot", c->getBootFile());
    EXPECT_EQ("Login.iso", c->getLoginIsoFile());
    EXPECT_STREQ("zh_CN.ini", c->getLocaleFileName(Tessor::schema::LANG_SCHINESE));
    EXPECT_EQ(nullptr, c->getLocaleFileName(Tessor::schema::LANG_TCHINESE));
    EXPECT_EQ(90, c->getUpperRation());
    EXPECT_EQ(0x04030201, c->getVersion().getVersion());
    EXPECT_EQ(2, c->getCfgTableCount());
    EXPECT_FALSE(c->isBlockModeLocked());
}

// Each bad value leaves the field at its default and never takes a
// neighbour's value.
TEST_F(UsbConfigurationTest, BadValuesKeepTheDefaults)
{
    UsbConfiguration* c = load(
        "Log_Size int 77\n"
        "Device_Count int lots\n"
        "Log_Size int many\n"
        "WatchDog_Time int x5\n"
        "Timeout int -\n"
        "UpperRation int none\n"
        "CfgTableCount int two\n"
        "Log_Level int eleven\n"
        "PlugIn list OnlyOneWord\n"
        "ScanCode list 6706\n"
        "UdiskCode list 6716\n"
        "DpfCode list 6716V31\n"
        "LocaleFile list sChinese\n"
        "LocaleFile list French fr.ini\n"
        "DpfSupport bool true\n"
        "Mp3Support bool TRUE\n"
        "CurrentFunction string Login\n"
        "ChipSet string 9999\n"
        "Version string 0102030\n");
    EXPECT_EQ(77, c->getLogSize());
    EXPECT_EQ(0, c->getDeviceCount());
    EXPECT_EQ(5, c->getWatchDogTime());
    EXPECT_EQ(0, c->getTimeout());
    EXPECT_EQ(0, c->getUpperRation());
    EXPECT_EQ(1, c->getCfgTableCount());
    EXPECT_EQ(0, c->getLogLevel());
    EXPECT_TRUE(c->getPlugIns().empty());
    EXPECT_TRUE(c->getScanCodeList(Tessor::schema::CHIPSET_6706)->empty());
    EXPECT_TRUE(c->getUdiskCodeList(Tessor::schema::CHIPSET_6716)->empty());
    EXPECT_TRUE(c->getDpfCodeList(Tessor::schema::CHIPSET_6716V31)->empty());
    EXPECT_TRUE(c->getLocaleMap().empty());
    EXPECT_FALSE(c->isDpfSupport());
    EXPECT_FALSE(c->isMp3Support());
    EXPECT_EQ(Tessor::schema::FUNCTION_FACTORY, c->getCurrentFunction());
    EXPECT_EQ(Tessor::schema::CHIPSET_UNKNOWN, c->getChipSet());
    EXPECT_STREQ("Unknown", c->getHwVersionName());
    EXPECT_EQ(0x030201, c->getVersion().getVersion());
    EXPECT_STREQ("01.02.03.", c->getVersion().getVersionString());
}

TEST_F(UsbConfigurationTest, LogLevelRange)
{
    struct Case {
        const char* value;
        int level;
    } cases[] = {{"11", 4}, {"-1", 4}, {"10", 10}, {"0", 0}};
    for (const Case& k : cases) {
        EXPECT_EQ(k.level, load(std::string("Log_Level int ") + k.value + "\n")->getLogLevel()) << k.value;
    }
}

TEST_F(UsbConfigurationTest, DeviceCountOnlyInFactoryFunction)
{
    EXPECT_EQ(1, load("Device_Count int 8\nCurrentFunction string UDiskUser\n")->getDeviceCount());
    EXPECT_EQ(8, load("Device_Count int 8\nCurrentFunction string UDiskFactory\n")->getDeviceCount());
    UsbConfiguration* login = load("Device_Count int 8\nCurrentFunction string Kelvo\n");
    EXPECT_EQ(Tessor::schema::FUNCTION_LOGIN, login->getCurrentFunction());
    EXPECT_EQ(1, login->getDeviceCount());
}

TEST_F(UsbConfigurationTest, LineRules)
{
    test_support::LogCapture log;
    testing::internal::CaptureStdout();
    std::string longValue(1500 - 20, 'v');
    UsbConfiguration* c = load(
        "#User_Name string commented out\n"
        "   #Hidden string x\n"
        "Timeout int\n"
        "Timeout int   \t \n"
        "Lonely\n"
        "\n"
        "   \t\n"
        "Display_Name string " + longValue + "\n"
        "User_Name   string   a name  with   blanks   \n"
        "PlugIn list A one\n"
        "PlugIn list A two\n"
        "LocaleFile list tChinese first.ini\n"
        "LocaleFile list tChinese second.ini\n"
        "Bogus_Tag string x\n"
        "Device_Name string last line without newline");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("Unknown Tag : #Hidden \n"));
    EXPECT_NE(std::string::npos, out.find("Unknown Tag : Bogus_Tag \n"));
    EXPECT_EQ(std::string::npos, out.find("User_Name"));
    EXPECT_TRUE(log.contains("Line 3 has too few arguments: Timeout int"));
    EXPECT_TRUE(log.contains("Line 4 has too few arguments: Timeout int\n"));
    EXPECT_TRUE(log.contains("Line 5 has too few arguments: Lonely"));
    // The 1500-character line arrives as lines 8 and 9.
    EXPECT_EQ(1023u, c->getDisplayName().size() + strlen("Display_Name string "));
    EXPECT_TRUE(log.contains("Line 9 has too few arguments: v"));
    EXPECT_EQ("a name  with   blanks", c->getUserName());
    EXPECT_EQ("two", c->getPlugIns().at("A"));
    EXPECT_STREQ("second.ini", c->getLocaleFileName(Tessor::schema::LANG_TCHINESE));
    EXPECT_EQ("last line without newline", c->getDeviceName());
    EXPECT_TRUE(log.contains("Tag CfgTableCount is missing, default used"));
}

// Each rejected or defaulted value reaches the operator on standard error
// with its file, line and tag, whatever the log level.
TEST_F(UsbConfigurationTest, RejectedValuesAreToldWithFileLineAndTag)
{
    struct Case {
        const char* line;
        const char* told;
    } cases[] = {
        {"Device_Count int many", "value 'many' of tag Device_Count is not a decimal number"},
        {"Device_Count int 0x10", "value '0x10' of tag Device_Count is not a decimal number"},
        {"Device_Count int 65", "value '65' of tag Device_Count is outside 1..64"},
        {"Device_Count int 99999999999", "value '99999999999' of tag Device_Count is outside 1..64"},
        {"Log_Size int 99999999999", "value '99999999999' of tag Log_Size is outside 64..2097151"},
        {"Log_Size int 2097152", "value '2097152' of tag Log_Size is outside 64..2097151"},
        {"Log_Size int 0", "value '0' of tag Log_Size is outside 64..2097151"},
        {"Log_Size int -4", "value '-4' of tag Log_Size is outside 64..2097151"},
        {"Timeout int 4abc", "value '4abc' of tag Timeout is not a decimal number"},
        {"WatchDog_Time int 2147483648", "value '2147483648' of tag WatchDog_Time is outside"},
        {"Log_Level int 11", "value '11' of tag Log_Level is outside 0..10, level 4 used"},
        {"PlugIn list One", "tag PlugIn needs two words, line ignored: One"},
        {"Bogus_Tag string x", "unknown tag Bogus_Tag, line ignored"},
        {"Timeout int", "Line 1 has too few arguments: Timeout int"},
        {"Version string 0102030", "value '0102030' of tag Version is not up to four pairs of digits, version "
                                   "'01.02.03.' used"},
        {"Version string 0102030405", "value '0102030405' of tag Version is not up to four pairs of digits"},
    };
    const std::string where = m_folder.file("tessor.cfg") + " line 1: ";
    for (const Case& k : cases) {
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        UsbConfiguration* c = load(std::string(k.line) + "\n");
        testing::internal::GetCapturedStdout();
        std::string told = testing::internal::GetCapturedStderr();
        EXPECT_NE(std::string::npos, told.find(where + k.told)) << k.line << "\n" << told;
        EXPECT_EQ(6144, c->getLogSize()) << k.line;
        EXPECT_EQ(0, c->getTimeout()) << k.line;
        EXPECT_EQ(5, c->getWatchDogTime()) << k.line;
        EXPECT_NE(std::string::npos, told.find("tessor.cfg: Tag User_Name is missing, default used"));
    }
    testing::internal::CaptureStderr();
    UsbConfiguration* c = load("Log_Size int 64\nLog_Size int 2097151 \n");
    EXPECT_EQ(2097151, c->getLogSize());
    EXPECT_EQ(std::string::npos, testing::internal::GetCapturedStderr().find("Log_Size"));
}

// A station that cannot serve a port, has no device library or no folder
// for its scan samples is refused with the tag and value that cause it.
TEST_F(UsbConfigurationTest, StationCheckNamesTheCause)
{
    const std::string station = "PlugIn list UsbMgr udisk\nSampleFile string " + m_folder.file("s.dat") + "\n";
    struct Case {
        std::string config;
        std::string cause;
    } cases[] = {
        {"", "no PlugIn line names a device library"},
        {"PlugIn list UsbMgr\nSampleFile string s.dat\n", "no PlugIn line names a device library"},
        {station + "Device_Count int 0\n", "tag Device_Count '0' is not a port count of 1..64"},
        {station + "Device_Count int -1\n", "tag Device_Count '-1' is not a port count of 1..64"},
        {station + "Device_Count int 65\n", "tag Device_Count '65' is not a port count of 1..64"},
        {station + "Device_Count int 0x10\n", "tag Device_Count '0x10' is not a port count of 1..64"},
        {station + "Device_Count int 1000000\n", "tag Device_Count '1000000' is not a port count"},
        {"PlugIn list UsbMgr udisk\nSampleFile string " + m_folder.file("none/s.dat") + "\n",
         "tag SampleFile '"},
        {"PlugIn list UsbMgr udisk\n", "tag SampleFile ''"},
        {"PlugIn list UsbMgr udisk\nSampleFile string " + m_folder.file("") + "\n",
         "tag SampleFile '" + m_folder.file("") + "' can be neither read nor created"},
    };
    testing::internal::CaptureStderr();
    for (const Case& k : cases) {
        std::string cause;
        EXPECT_FALSE(load(k.config)->checkStation(UsbConfiguration::MAX_DEVICE_COUNT, cause)) << k.config;
        EXPECT_NE(std::string::npos, cause.find(m_folder.file("tessor.cfg") + ": " + k.cause)) << cause;
    }
    std::string cause;
    EXPECT_TRUE(load(station + "Device_Count int 64\n")->checkStation(UsbConfiguration::MAX_DEVICE_COUNT, cause)) << cause;
    // Outside the factory function the station has one port, whatever the count says.
    EXPECT_TRUE(load(station + "Device_Count int 0\nCurrentFunction string UDiskUser\n")->checkStation(UsbConfiguration::MAX_DEVICE_COUNT, cause));
    testing::internal::GetCapturedStderr();
}

// A value the station cannot honour is told with its file, line, tag and
// value, and the station does not start.
TEST_F(UsbConfigurationTest, RefusedValuesStopTheStation)
{
    const std::string station = "PlugIn list UsbMgr udisk\nSampleFile string " + m_folder.file("s.dat") + "\n";
    m_folder.write("user.ini", "[UserSetting]\n");
    struct Case {
        std::string line;
        std::string cause;
    } cases[] = {
        {"CurrentFunction string UDiskFactroy", "value 'UDiskFactroy' of tag CurrentFunction is none of "
                                                "UDiskFactory, UDiskUser, Kelvo"},
        {"CurrentFunction string udiskfactory", "value 'udiskfactory' of tag CurrentFunction"},
        {"ChipSet string 9999", "value '9999' of tag ChipSet names no controller the device library knows"},
        {"UdiskCode list 6761 u.img", "chip '6761' of tag UdiskCode names no controller"},
        {"CfgTableCount int 0", "value '0' of tag CfgTableCount is outside 1..16"},
        {"CfgTableCount int -1", "value '-1' of tag CfgTableCount is outside 1..16"},
        {"CfgTableCount int 17", "value '17' of tag CfgTableCount is outside 1..16"},
        {"CfgTableCount int two", "value 'two' of tag CfgTableCount is not a decimal number"},
        {"Timeout int -5", "value '-5' of tag Timeout is outside 0..2147483647"},
        {"Log_Size int 0", "value '0' of tag Log_Size is outside 64..2097151"},
        {"Log_Level int high", "value 'high' of tag Log_Level is not a decimal number"},
        {"UpperRation int 9O", "value '9O' of tag UpperRation is not a decimal number"},
        {"DpfSupport bool true", "value 'true' of tag DpfSupport is neither True nor False"},
        {"LocaleFile list French fr.ini", "language 'French' of tag LocaleFile is neither sChinese nor tChinese"},
        {"FlashProfile string " + m_folder.file("absent.ini"), "tag FlashProfile '" + m_folder.file("absent.ini") +
                                                                   "' names no file the station can read"},
        {"UserProfile string " + m_folder.file(""), "tag UserProfile '" + m_folder.file("") + "' names no file"},
    };
    testing::internal::CaptureStderr();
    for (const Case& k : cases) {
        std::string cause;
        EXPECT_FALSE(load(k.line + "\n" + station)->checkStation(UsbConfiguration::MAX_DEVICE_COUNT, cause)) << k.line;
        EXPECT_NE(std::string::npos, cause.find(m_folder.file("tessor.cfg") + " line 1: " + k.cause)) << cause;
    }
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, told.find("line 1: value '9999' of tag ChipSet")) << told;
    std::string cause;
    EXPECT_TRUE(load("UserProfile string " + m_folder.file("user.ini") + "\nCfgTableCount int 16\nTimeout int 0\n"
                     "DpfSupport bool False\nChipSet string 6605\nCurrentFunction string Kelvo\n" + station)
                    ->checkStation(UsbConfiguration::MAX_DEVICE_COUNT, cause))
        << cause;
}

TEST_F(UsbConfigurationTest, CodeListsAndBigBuffer)
{
    UsbConfiguration* c = load(
        "ScanCode list 6706 scan_little.bin\n"
        "ScanCode list 6706 second.bin\n");
    c->addUdiskCodeImage("NoSuchChip", "odd.bin");
    EXPECT_EQ((std::list<std::string>{"scan_little.bin", "second.bin"}),
              *c->getScanCodeList(Tessor::schema::CHIPSET_6706));
    EXPECT_TRUE(c->scanIsBigBuffer());
    EXPECT_EQ(std::list<std::string>{"odd.bin"}, *c->getUdiskCodeList(Tessor::schema::CHIPSET_UNKNOWN));
    UsbConfiguration::CodeList* empty = c->getUdiskCodeList(Tessor::schema::CHIPSET_6605);
    EXPECT_TRUE(empty->empty());
    EXPECT_EQ(empty, c->getUdiskCodeList(Tessor::schema::CHIPSET_6605));

    struct Case {
        const char* file;
        bool big;
    } cases[] = {{"scan_little.bin", false}, {"big.bin", true}, {"little.bin", false}};
    for (const Case& k : cases) {
        c->addScanCodeImage("6706", k.file);
        EXPECT_EQ(k.big, c->scanIsBigBuffer()) << k.file;
    }
}

TEST_F(UsbConfigurationTest, AppVersionForms)
{
    Tessor::schema::AppVersion fromNumber(0x04030201);
    EXPECT_STREQ("01.02.03.04.", fromNumber.getVersionString());
    Tessor::schema::AppVersion hexDigits(0x0000AB00);
    EXPECT_STREQ("00.:;.00.00.", hexDigits.getVersionString());
    Tessor::schema::AppVersion none;
    EXPECT_EQ(0, none.getVersion());
    EXPECT_STREQ("", none.getVersionString());
    Tessor::schema::AppVersion copy = Tessor::schema::AppVersion("0102030405");
    EXPECT_EQ(0x04030201, copy.getVersion());
}

TEST_F(UsbConfigurationTest, ShowPrintsEverySettingWithTheMaskedPassword)
{
    load(FULL_CONFIG);
    test_support::LogCapture log;
    UsbConfiguration::instance()->show();
    std::string text = log.text();
    for (const char* part : {"Tessor Application Configuration", "Device Name : \"UDISK\"", "Device Count: 4",
                             "Name : \"operator one\"", "Display Name : \"Station 1\"",
                             "Pass Word : \"******\"", "Timeout: 30 s", "WatchDog_Time: 9 s", "Log File: tessor",
                             "Log Level: 6", "Log Size: 2048", "Flash Profile: releases", "LCD Profile: lcd.ini",
                             "User Profile: user.ini", "DPF Profile: dpf.ini", "Mp3 Profile: mp3.ini",
                             "Scan Sample File: sample.dat", "Boot File: boot", "Login ISO File: Login.iso",
                             "BigBuffer : \"YES\"", " : \tcode/scan6706.bin", " : \tudisk6716.bin", "DPF Code : (6759)",
                             " : \tdpf.bin", "Support DPF : \"ON\"", "Support Mp3 : \"ON\"",
                             "Function : \"Factory\"", "Version : \"01.02.03.04.(67305985)\"",
                             "plugin Udisk : \"usbmgr.so\"", "Language 112 : \"zh_CN.ini\"", "Upper Ration : 90",
                             "CfgTableCount : 2"}) {
        EXPECT_NE(std::string::npos, text.find(part)) << part;
    }
    EXPECT_NE(std::string::npos,
              text.find(std::string("ChipSet : \"") + usbDeviceFindHwVersion(Tessor::schema::CHIPSET_6716)->name));
    EXPECT_EQ(std::string::npos, text.find("secret99"));
}

TEST_F(UsbConfigurationTest, EmptyNameGivesTheDefaults)
{
    UsbConfiguration::instance(std::string());
    UsbConfiguration* c = UsbConfiguration::instance();
    EXPECT_EQ(5, c->getWatchDogTime());
    EXPECT_EQ(6144, c->getLogSize());
    EXPECT_EQ(1, c->getCfgTableCount());
    EXPECT_TRUE(c->scanIsBigBuffer());
    EXPECT_EQ(Tessor::schema::CHIPSET_UNKNOWN, c->getChipSet());
}

TEST_F(UsbConfigurationTest, MissingFileEndsWithAFailureStatus)
{
    std::string missing = m_folder.file("absent.cfg");
    EXPECT_EXIT(UsbConfiguration::instance(missing), [](int status) { return status != 0; },
                "");
}

}  // namespace

namespace {

TEST(SampleConfiguration, ShowPrintsEverySetting)
{
    test_support::TempFolder folder;
    UsbConfiguration::instance(std::string(TESSOR_SAMPLES) + "/tessor.cfg");
    test_support::LogCapture log;
    UsbConfiguration::instance()->show();
    std::string text = log.text();
    for (const char* part :
         {"Device Name : \"UDISK\"", "Device Count: 4", "Name : \"Operator\"", "Display Name : \"Tessor Station\"",
          "Pass Word : \"******\"", "Timeout: 30 s", "WatchDog_Time: 5 s", "Log File: tessor.log", "Log Level: 7",
          "Log Size: 6144", "Flash Profile: releases/usr/etc/FlashChip.ini", "LCD Profile: releases/usr/etc/LCD.INI",
          "User Profile: ./releases/usr/etc/UserSetting.ini", "DPF Profile: releases/usr/etc/DpfConfig.ini",
          "Mp3 Profile: releases/usr/etc/Mp3Config.ini", "Scan Sample File: releases/usr/etc/ScanSample.dat",
          "Boot File: releases/fileSystems/boot", "Login ISO File: releases/fileSystems/iso/Login.iso",
          "BigBuffer : \"YES\"", " : \treleases/code/scan_6706.img", " : \treleases/code/scan_6716.img",
          " : \treleases/code/udisk_6706.img", " : \treleases/code/udisk_6716.img",
          " : \treleases/code/dpf_6716V31.img", "Support DPF : \"OFF\"", "Support Mp3 : \"OFF\"",
          "Function : \"Factory\"", "Version : \"01.02.03.04.(67305985)\"", "plugin UsbMgr : \"udisk\"",
          "Language 112 : \"releases/usr/etc/locale_sc.ini\"", "Language 113 : \"releases/usr/etc/locale_tc.ini\"",
          "Upper Ration : 90", "CfgTableCount : 2"}) {
        EXPECT_NE(std::string::npos, text.find(part)) << part;
    }
    EXPECT_FALSE(log.contains("is missing, default used"));
}

}  // namespace
