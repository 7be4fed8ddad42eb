#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/LogCapture.h"
#include "platform/orrin/Orrin.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/DiskInfo.h"
#include "usb/profile/ProfileFlash.h"

using Tessor::schema::ConfigInfo;
using Tessor::schema::UsbConfiguration;
using Tessor::usb::FlashIdReader;
using Tessor::usb::FlashInfo;
using Tessor::usb::ProfileFlash;

namespace {

typedef std::vector<unsigned char> Answer;

const Answer NO_CHIP = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// Answers each chip's id reads in turn; past its script a chip repeats the
// last answer; an empty answer is a failed command.
class ScriptedChips : public FlashIdReader {
public:
    explicit ScriptedChips(std::map<int, std::vector<Answer>> script) : m_script(std::move(script)) {}
    unsigned char* readFlashId(int chip, FLASH_TYPES /*kind*/) override
    {
        ++m_reads;
        auto found = m_script.find(chip);
        if (found == m_script.end()) {
            m_answer = NO_CHIP;
        } else {
            std::vector<Answer>& answers = found->second;
            size_t n = std::min(m_readsOf[chip]++, answers.size() - 1);
            m_answer = answers[n];
        }
        return m_answer.empty() ? nullptr : m_answer.data();
    }
    const char* getReaderName() const override { return "SIM0"; }
    int reads() const { return m_reads; }

private:
    std::map<int, std::vector<Answer>> m_script;
    std::map<int, size_t> m_readsOf;
    Answer m_answer;
    int m_reads = 0;
};

Answer interleaved(unsigned char a, unsigned char b, unsigned char c, unsigned char d)
{
    return {a, 0, b, 0, c, 0, d, 0};
}

class ProfileFlashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sharedSetTimeScale(0.01);
        useTable(std::string(TESSOR_SAMPLES) + "/releases/usr/etc/FlashChip.ini");
    }
    void TearDown() override
    {
        sharedSetTimeScale(1.0);
        ConfigInfo::setFlashModel("");
        ConfigInfo::setChipsPerDisk(1);
        ConfigInfo::setDualChannel(false);
    }
    void useTable(const std::string& path)
    {
        UsbConfiguration::instance(m_folder.write("t.cfg", "FlashProfile string " + path + "\n"));
    }
    test_support::TempFolder m_folder;
};

TEST_F(ProfileFlashTest, IdentifiesFromChipAnswers)
{
    const Answer samsung = interleaved(0xEC, 0xD3, 0x51, 0x95);
    const Answer hynix = interleaved(0xAD, 0xD7, 0x94, 0x9A);
    struct Case {
        const char* name;
        std::map<int, std::vector<Answer>> script;
        std::string id;
        int chips;
        bool dualChannel;
        bool dualDie;
        int blocks;
        int pages;
        int sectors;
        int reads;
    } cases[] = {
        {"one chip", {{0, {samsung}}}, "ECD35195", 1, false, false, 1024, 64, 4, 3},
        {"two chips", {{0, {samsung}}, {1, {samsung}}}, "ECD35195DD", 2, false, true, 1024, 64, 4, 4},
        {"three chips", {{0, {samsung}}, {1, {samsung}}, {2, {samsung}}}, "ECD35195", 3, false, true, 1024, 64, 4,
         5},
        {"four chips", {{0, {hynix}}, {1, {hynix}}, {2, {hynix}}, {3, {hynix}}}, "ADD7949AQD", 4, false, true,
         1024, 128, 8, 4},
        {"dual channel", {{0, {{0xEC, 0xEC, 0xD3, 0xD3, 0x51, 0x51, 0x95, 0x95}}}}, "ECD35195", 1, true, false,
         1024, 64, 4, 3},
        {"second read answers", {{0, {NO_CHIP, samsung}}}, "ECD35195", 1, false, false, 1024, 64, 4, 4},
        {"leading zero", {{0, {interleaved(0x07, 0xD3, 0x51, 0x95)}}}, "7D35195", 1, false, false, 1024, 64, 4, 3},
        {"leading zero, two chips",
         {{0, {interleaved(0x07, 0xD3, 0x51, 0x95)}}, {1, {interleaved(0x07, 0xD3, 0x51, 0x95)}}}, "7D35195DD", 2,
         false, true, 1024, 64, 4, 4},
        {"triple-level cell", {{0, {interleaved(0x98, 0xDE, 0x94, 0x82)}}}, "98DE9482", 1, false, false, 2048,
         256, 8, 3},
    };
    for (const Case& c : cases) {
        ScriptedChips chips(c.script);
        ProfileFlash profile;
        ASSERT_EQ(0, profile.parseFlashId(&chips)) << c.name;
        Sptr<FlashInfo> info = profile.getFlashInfo();
        EXPECT_EQ(c.id, info->getFlashId()) << c.name;
        EXPECT_EQ(c.chips, info->getChipsPerDisk()) << c.name;
        EXPECT_EQ(c.dualChannel, info->getDualChannel()) << c.name;
        EXPECT_EQ(c.dualDie, info->getDualDie()) << c.name;
        EXPECT_EQ(c.reads, chips.reads()) << c.name;
        Sptr<Tessor::schema::DiskInfo> disk = info->getDiskInfo();
        EXPECT_EQ(c.chips, disk->getChipsPerDisk()) << c.name;
        EXPECT_EQ(c.blocks, disk->getBlocksPerChip()) << c.name;
        EXPECT_EQ(c.pages, disk->getPagesPerBlock()) << c.name;
        EXPECT_EQ(c.sectors, disk->getSectorsPerPage()) << c.name;
    }
}

TEST_F(ProfileFlashTest, PartRecordFromTheTable)
{
    ScriptedChips chips({{0, {interleaved(0x98, 0xDE, 0x94, 0x82)}}});
    ProfileFlash profile;
    ASSERT_EQ(0, profile.parseFlashId(&chips));
    const Tessor::usb::_FLASH_CHIP_INFO* part = profile.getFlashInfo()->getChipInfo();
    EXPECT_STREQ("(TLC)VF-TOSHIBA-TLC-DEMO", part->PartNumber);
    EXPECT_EQ(1, part->TLC);
    EXPECT_EQ(1300, part->RealBlockPerChip);
    EXPECT_EQ(192, part->RealPagePerBlock);
    EXPECT_EQ(static_cast<int32_t>(0x98DE9482u), part->ID);
    EXPECT_EQ(0x2222, part->Speed);
    EXPECT_EQ(0x55, part->ScanData);
    EXPECT_EQ(256, part->wEraseIncRowNum);
    EXPECT_EQ(1, part->toshibaMp);
    EXPECT_EQ(0, part->Reserved0);
}

TEST_F(ProfileFlashTest, FailuresGiveMinusOne)
{
    std::string table = m_folder.write("chips.ini", "[ECD35195]\nPartNumber=NOGEOMETRY\nBlockPerChip=1024\n"
                                                    "[ADD7949A]\nBlockPerChip=1024\n"
                                                    "[EC010203]\nPartNumber=HUGE\nBlockPerChip=2147483647\n"
                                                    "PagePerBlock=2147483647\nSectorPerPage=2147483647\n"
                                                    "[EC010204]\nPartNumber=(TLC)HUGE\nBlockPerChip=2147483647\n"
                                                    "PagePerBlock=300\nSectorPerPage=4\n"
                                                    "[EC010205]\nPartNumber=JUSTOVER\nBlockPerChip=8192\n"
                                                    "PagePerBlock=256\nSectorPerPage=256\n");
    useTable(table);
    test_support::LogCapture log;
    struct Case {
        const char* name;
        std::map<int, std::vector<Answer>> script;
        const char* message;
    } cases[] = {
        {"command fails", {{0, {Answer()}}}, "Read Flash ID Command failed on disk SIM0"},
        {"no chip", {{0, {NO_CHIP}}}, "No Flash ID is read out from this Chipset of SIM0"},
        {"half answer", {{0, {{0x98, 0, 0xFF, 0, 0xFF, 0, 0, 0}}}}, "No Flash ID is read out"},
        {"unknown id", {{0, {interleaved(0x01, 0x02, 0x03, 0x04)}}},
         "No Part Number can be found with Flash ID of '1020304'"},
        {"no part number", {{0, {interleaved(0xAD, 0xD7, 0x94, 0x9A)}}},
         "No Part Number can be found with Flash ID of 'ADD7949A'"},
        {"no geometry", {{0, {interleaved(0xEC, 0xD3, 0x51, 0x95)}}}, "has no geometry"},
        {"huge geometry", {{0, {interleaved(0xEC, 0x01, 0x02, 0x03)}}},
         "Flash part 'HUGE' of SIM0 is too large (blocks 2147483647, pages 2147483647, sectors 2147483647)"},
        {"huge TLC geometry", {{0, {interleaved(0xEC, 0x01, 0x02, 0x04)}}}, "Flash part '(TLC)HUGE' of SIM0 is too"},
        {"one sector past the total", {{0, {interleaved(0xEC, 0x01, 0x02, 0x05)}}},
         "Flash part 'JUSTOVER' of SIM0 is too large (blocks 8192, pages 256, sectors 256): 4 chips would hold more "
         "than 2147483647 sectors"},
    };
    for (const Case& c : cases) {
        ScriptedChips chips(c.script);
        ProfileFlash profile;
        EXPECT_EQ(-1, profile.parseFlashId(&chips)) << c.name;
        EXPECT_TRUE(log.contains(c.message)) << c.name;
    }
}

TEST_F(ProfileFlashTest, ForcedModel)
{
    std::string table = m_folder.write("chips.ini",
                                       "[Empty]\nPartNumber=\n"
                                       "[Nameless]\nBlockPerChip=1\n"
                                       "[7D35195DD]\nPartNumber=LEADING-ZERO-DD\nBlockPerChip=512\nPagePerBlock=64\n"
                                       "SectorPerPage=4\n"
                                       "[ECD35195]\nPartNumber=" + std::string(40, 'L') +
                                       "\nBlockPerChip=1024\nPagePerBlock=64\nSectorPerPage=4\nDualDie=1\n");
    std::string content;
    for (int i = 0; i < 600; ++i) {
        content += "[Filler" + std::to_string(i) + "]\nPartNumber=OTHER" + std::to_string(i) + "\n";
    }
    content += test_support::readFile(table);
    useTable(m_folder.write("big.ini", content));
    struct Case {
        std::string model;
        int chips;
        bool dual;
        int result;
        const char* id;
        uint32_t idValue;
    } cases[] = {
        {"LEADING-ZERO-DD", 2, false, 0, "7D35195DD", 0x07D35195u},
        {std::string(40, 'L'), 1, true, 0, "ECD35195", 0xECD35195u},
        {"NOT-THERE", 1, false, -1, "", 0},
    };
    for (const Case& c : cases) {
        ConfigInfo::setFlashModel(c.model);
        ConfigInfo::setChipsPerDisk(c.chips);
        ConfigInfo::setDualChannel(c.dual);
        ScriptedChips chips({});
        ProfileFlash profile;
        ASSERT_EQ(c.result, profile.parseFlashId(&chips)) << c.model;
        EXPECT_EQ(0, chips.reads());
        if (c.result != 0) {
            continue;
        }
        Sptr<FlashInfo> info = profile.getFlashInfo();
        EXPECT_EQ(c.id, info->getFlashId());
        EXPECT_EQ(c.chips, info->getChipsPerDisk());
        EXPECT_EQ(c.dual, info->getDualChannel());
        EXPECT_EQ(static_cast<int32_t>(c.idValue), info->getChipInfo()->ID);

        ProfileFlash byModel;
        ASSERT_EQ(0, byModel.setFlashId(&chips));
        EXPECT_EQ(c.id, byModel.getFlashInfo()->getFlashId());
        EXPECT_EQ(0, byModel.getFlashInfo()->getChipInfo()->ID);
    }
}

TEST_F(ProfileFlashTest, MissingTableFailsCleanly)
{
    useTable(m_folder.file("absent.ini"));
    ScriptedChips chips({{0, {interleaved(0xEC, 0xD3, 0x51, 0x95)}}});
    ProfileFlash profile;
    EXPECT_EQ(-1, profile.parseFlashId(&chips));
}

}  // namespace
