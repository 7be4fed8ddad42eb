#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "schema/base/UsbConfiguration.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/Mp3Config.h"
#include "schema/dpf/DpfConfig.h"
#include "support/LogCapture.h"

using Tessor::schema::ConfigInfo;
using Tessor::schema::PartInfo;
using Tessor::schema::UsbConfiguration;

namespace {

struct Part {
    unsigned capacity;
    int diskType;
    bool encrypted;
};

struct FitCase {
    const char* name;
    const char* chipSet;
    int policy;
    int realCapacity;
    int configCapacity;
    std::vector<Part> parts;
    int update;
    bool fits;
    int resultReal;
    std::vector<unsigned> expected;
};

Sptr<ConfigInfo> makeSettings(const FitCase& c)
{
    Sptr<ConfigInfo> settings(new ConfigInfo());
    settings->setCapacityPolicy(c.policy);
    settings->setRealCapacity(c.realCapacity);
    settings->setConfigCapacity(c.configCapacity);
    for (const Part& p : c.parts) {
        Sptr<PartInfo> part(new PartInfo(static_cast<int>(p.capacity)));
        part->setDiskType(p.diskType);
        part->setIsEncrypted(p.encrypted);
        settings->addPartInfo(part);
    }
    return settings;
}

class ConfigInfoTest : public ::testing::Test {
protected:
    void useChipSet(const char* name)
    {
        UsbConfiguration::instance(m_folder.write("c.cfg", std::string("ChipSet string ") + name + "\n"));
    }
    test_support::TempFolder m_folder;
};

TEST_F(ConfigInfoTest, FitToRealCapacity)
{
    const int R = 0;  // Rational
    const int B = 1;  // BeginIsFirst
    const FitCase cases[] = {
        {"proportional", "6716", R, 4000000, 0, {{3000000, 0, false}, {1000000, 0, false}}, 2000000, true,
         2000000, {1500000, 500000}},
        {"clamped to configured", "6716", R, 4000000, 1000000, {{3000000, 0, false}, {1000000, 0, false}}, 2000000,
         true, 1000000, {750000, 250000}},
        // Configured above the flash: the sizes would run past the real capacity.
        {"configured above, 6706", "6706", R, 4000000, 3000000, {{3000000, 0, false}, {1000000, 0, false}},
         2000000, false, 0, {}},
        {"configured above, 6716", "6716", R, 4000000, 3000000, {{3000000, 0, false}, {1000000, 0, false}},
         2000000, false, 0, {}},
        {"last grows", "6716", B, 2000000, 0, {{500000, 0, false}, {800000, 0, false}}, 2000000, true, 2000000,
         {500000, 1500000}},
        {"encrypted first grows", "6716", B, 2000000, 0, {{500000, 0, true}, {800000, 0, false}}, 2000000, true,
         2000000, {1200000, 800000}},
        {"left over cuts", "6716", B, 1000000, 0, {{900000, 0, false}, {200000, 0, false}, {50000, 0, false}},
         1000000, true, 1000000, {900000, 100000}},
        {"left over too small", "6716", B, 1000000, 0, {{995000, 0, false}, {200000, 0, false}}, 1000000, true,
         1000000, {995000}},
        {"cd-rom first", "6716", R, 1100000, 0, {{100000, 2, false}, {1000000, 0, false}}, 600000, true, 600000,
         {100000, 500000}},
        {"floor", "6716", R, 100000, 0, {{12288, 0, false}, {12289, 0, false}}, 100000, true, 100000, {12289}},
        // Guarded arithmetic.
        {"no real capacity", "6716", R, 0, 0, {{50000, 0, false}}, 100000, true, 100000, {50000}},
        // With nothing to scale by, every size is kept: below the floor, or after a CD-ROM.
        {"no real capacity, small", "6716", R, 0, 0, {{8192, 0, false}}, 100000, true, 100000, {8192}},
        {"no real capacity, cd-rom first", "6716", R, 0, 0, {{4096, 2, false}, {50000, 1, false}, {20000, 0, false}},
         100000, true, 100000, {4096, 50000, 20000}},
        {"cd-rom fills the source", "6716", R, 100000, 0, {{100000, 2, false}, {50000, 0, false}}, 100000, true,
         100000, {100000}},
        {"cd-rom beyond the flash", "6716", R, 200000, 0, {{150000, 2, false}, {50000, 0, false}}, 100000, false,
         0, {}},
        {"negative ratio", "6716", R, 300000, 0, {{150000, 2, false}, {50000, 0, false}}, 100000, false, 0, {}},
        // Sums past 32 bits are refused, not wrapped into a fit.
        {"two 2e9 cd-roms", "6716", R, 4000000, 0,
         {{2000000000, 2, false}, {2000000000, 2, false}, {50000, 0, false}}, 4000000, false, 0, {}},
        {"two 2e9 cd-roms, begin first", "6716", B, 4000000, 0,
         {{2000000000, 2, false}, {2000000000, 2, false}, {50000, 0, false}}, 4000000, false, 0, {}},
    };
    for (const FitCase& c : cases) {
        useChipSet(c.chipSet);
        Sptr<ConfigInfo> settings = makeSettings(c);
        Sptr<ConfigInfo> fitted = settings->update(c.update);
        ASSERT_EQ(c.fits, static_cast<bool>(fitted)) << c.name;
        if (!fitted) {
            continue;
        }
        EXPECT_EQ(c.resultReal, fitted->getRealCapacity()) << c.name;
        ASSERT_EQ(static_cast<int>(c.expected.size()), fitted->getPartCount()) << c.name;
        for (size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(c.expected[i], fitted->getPartInfo(static_cast<int>(i))->getCapacity()) << c.name << " " << i;
        }
        for (size_t i = 0; i < c.parts.size(); ++i) {
            EXPECT_EQ(c.parts[i].capacity, settings->getPartInfo(static_cast<int>(i))->getCapacity()) << c.name;
        }
    }
}

TEST_F(ConfigInfoTest, ConfiguredAboveTheFlashLowersTheSourceRealCapacity)
{
    useChipSet("6706");
    FitCase c{"", "6706", 0, 4000000, 3000000, {{1000000, 0, false}}, 2000000, true, 2000000, {}};
    Sptr<ConfigInfo> settings = makeSettings(c);
    Sptr<ConfigInfo> fitted = settings->update(2000000);
    ASSERT_TRUE(fitted);
    EXPECT_EQ(2000000, settings->getRealCapacity());
    EXPECT_EQ(1000000u, fitted->getPartInfo(0)->getCapacity());
}

// A device's settings were fitted to its flash at the start; fitted again to
// fewer sectors, they start from the sizes asked, not from the grown ones,
// and keep what was set on them since.
TEST_F(ConfigInfoTest, FittedSettingsAreFittedAgainFromTheSizesAsked)
{
    useChipSet("6716");
    FitCase c{"", "6716", 1, 2000000, 0, {{500000, 0, true}, {800000, 0, false}}, 2000000, true, 2000000, {}};
    Sptr<ConfigInfo> fitted = makeSettings(c)->update(2000000);
    ASSERT_TRUE(fitted);
    fitted->setBlockMode(true);
    for (const Sptr<ConfigInfo>& held : {fitted, Sptr<ConfigInfo>(new ConfigInfo(fitted))}) {
        Sptr<ConfigInfo> refitted = held->update(1900000);
        ASSERT_TRUE(refitted);
        ASSERT_EQ(2, refitted->getPartCount());
        EXPECT_EQ(1100000u, refitted->getPartInfo(0)->getCapacity());
        EXPECT_EQ(800000u, refitted->getPartInfo(1)->getCapacity());
        EXPECT_TRUE(refitted->checkBlockMode());
        EXPECT_EQ(1900000, refitted->getRealCapacity());
    }
    EXPECT_EQ(1200000u, fitted->getPartInfo(0)->getCapacity());
}

TEST_F(ConfigInfoTest, CopiesOwnTheirPartitionsAndScanSettings)
{
    useChipSet("6716");
    Sptr<ConfigInfo> station(new ConfigInfo());
    station->setVendorString("Vendor");
    station->setSerialNoStart(0x01000000u);
    station->setRealCapacity(1000);
    station->addPartInfo(Sptr<PartInfo>(new PartInfo(500)));
    station->getScanConfig()->setScanLevel(2);

    Sptr<ConfigInfo> device(new ConfigInfo(station));
    ConfigInfo byValue(*station);
    for (ConfigInfo* copy : {device.get(), &byValue}) {
        EXPECT_EQ("Vendor", copy->getVendorString());
        EXPECT_EQ(0x01000000u, copy->getSerialNoStart());
        ASSERT_EQ(1, copy->getPartCount());
        EXPECT_NE(station->getPartInfo(0).get(), copy->getPartInfo(0).get());
        copy->getPartInfo(0)->setCapacity(7);
        EXPECT_NE(station->getScanConfig().get(), copy->getScanConfig().get());
        EXPECT_EQ(2, copy->getScanConfig()->getScanLevel());
        EXPECT_EQ(station->getDpfConfig().get(), copy->getDpfConfig().get());
        EXPECT_EQ(station->getMp3Config().get(), copy->getMp3Config().get());
    }
    EXPECT_EQ(500u, station->getPartInfo(0)->getCapacity());
    EXPECT_FALSE(station->getPartInfo(1));
    EXPECT_FALSE(station->getPartInfo(-1));
}

TEST_F(ConfigInfoTest, DefaultsAndPolicy)
{
    ConfigInfo settings;
    EXPECT_EQ(2, settings.getVoltage());
    EXPECT_STREQ("DefaultScanConfig", settings.getScanConfig()->getName());
    EXPECT_STREQ("DefaultDpfConfig", settings.getDpfConfig()->getName());
    EXPECT_STREQ("DefaultMp3Config", settings.getMp3Config()->getName());
    EXPECT_EQ(1, settings.getScanConfig()->getAutoMode());
    EXPECT_TRUE(settings.getScanConfig()->getEccStatus());
    settings.setCapacityPolicy(5);
    EXPECT_EQ(1, settings.getCapacityPolicy());
    settings.setCapacityPolicy(0);
    EXPECT_EQ(0, settings.getCapacityPolicy());
}

TEST_F(ConfigInfoTest, ForcedFlashModelStatics)
{
    ConfigInfo::setFlashModel("VF1G-DEMO");
    ConfigInfo::setChipsPerDisk(2);
    ConfigInfo::setDualChannel(true);
    EXPECT_EQ("VF1G-DEMO", ConfigInfo::getFlashModel());
    EXPECT_EQ(2, ConfigInfo::getChipsPerDisk());
    EXPECT_TRUE(ConfigInfo::checkDualChannel());
    ConfigInfo::setFlashModel("");
    ConfigInfo::setChipsPerDisk(1);
    ConfigInfo::setDualChannel(false);
}

TEST_F(ConfigInfoTest, PrintoutMasksPasswords)
{
    ConfigInfo settings;
    settings.setPassword("hunter2");
    settings.setSerialNoLabel("DEMO");
    Sptr<PartInfo> part(new PartInfo(4096));
    part->setVolumeLabel("DISK");
    settings.addPartInfo(part);
    test_support::LogCapture log;
    settings.debug();
    std::string text = log.text();
    for (const char* line : {"ConfigInfo Debug Info :", "\tScanConfig Info :\n",
                             "\t\tECC \t: YES, \tEccBytes \t: 1\n", "\t\t\tVolume \t: DISK\n",
                             "\tSnMode \t: 0, \tSnLabel \t: DEMO, \tSnStart \t: 0\n",
                             "\tPassword \t: ******; \tNew Password \t: ; =t\n",
                             "CapacityPolicy : Rational\n", "\tBlockMode \t: NO\n"}) {
        EXPECT_NE(std::string::npos, text.find(line)) << line;
    }
    EXPECT_EQ(std::string::npos, text.find("hunter2"));
}

TEST(PartInfo, FileSystemType)
{
    struct Case {
        unsigned capacity;
        int diskType;
        int index;
        int type;
    } cases[] = {{8400, 0, 0, 1},       {8401, 0, 0, 6},       {4194304, 0, 0, 6}, {4194305, 0, 0, 0x0B},
                 {8000, 1, 0, 1},       {8000, 1, 1, 1},       {8000, 2, 3, 0xFE},
                 // The first partition of a local disk is FAT32 once it holds 65,525 clusters.
                 {66643, 1, 0, 6},      {66644, 1, 0, 0x0B},   {66644, 1, 1, 6}};
    for (const Case& c : cases) {
        PartInfo part(static_cast<int>(c.capacity));
        part.setDiskType(c.diskType);
        part.setPartitionIndex(c.index);
        EXPECT_EQ(c.type, part.getFileSystemType()) << c.capacity;
    }
}

}  // namespace
