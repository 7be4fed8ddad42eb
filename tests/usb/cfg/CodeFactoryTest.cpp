#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <thread>

#include "schema/base/UsbConfiguration.h"
#include "support/StationFolder.h"
#include "support/TempFolder.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cfg/CodeData.h"
#include "usb/cfg/CodeFactory.h"

using Tessor::schema::UsbConfiguration;
using Tessor::usb::CmdExternalCode;
using Tessor::usb::CodeData;
using Tessor::usb::CodeFactory;
using Tessor::usb::ExternalCode;
namespace fs = std::filesystem;

namespace {

const std::string kExternal = "releases\\code\\VOR_MP3_Code.img";

const code_test::Image& image(const std::string& configName)
{
    for (const code_test::Image& i : code_test::images()) {
        if (i.configName == configName || i.configName == "releases/code/" + configName) {
            return i;
        }
    }
    throw std::runtime_error("no image " + configName);
}

uint32_t wordAt(const unsigned char* p, int i)
{
    uint32_t w;
    std::memcpy(&w, p + 4 * i, 4);
    return w;
}

class CodeFactoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        station.emplace(folder.path());
        UsbConfiguration::instance("");
    }
    void TearDown() override
    {
        station.reset();
    }

    // The variant with its lists as the station's configuration fills them.
    void configure(const std::string& chip, bool dpf)
    {
        UsbConfiguration* c = UsbConfiguration::instance();
        c->setChipSet(chip);
        c->setDpfSupport(dpf);
        const std::string variant = chip == "6716V31" ? "6716" : chip;
        c->addScanCodeImage(chip, "releases/code/scan_" + variant + ".img");
        c->addUdiskCodeImage(chip, "releases/code/udisk_" + variant + ".img");
        c->addDpfCodeImage("6716V31", "releases/code/dpf_6716V31.img");
    }

    // Every piece holds its file's bytes at its 4 KB step, zero past the
    // file's end, and is sealed unless `sealed` is false.
    static void expectPieces(const ExternalCode& code, const code_test::Image& file, int pieces, int sectors,
                             bool sealed)
    {
        ASSERT_EQ(code.getCount(), pieces);
        EXPECT_EQ(code.getCodeLength(), pieces * sectors);
        const dpf_test::Bytes bytes = code_test::contentOf(file);
        for (int k = 0; k < pieces; ++k) {
            Sptr<CodeData> piece = const_cast<ExternalCode&>(code).getData(k);
            ASSERT_TRUE(piece);
            EXPECT_EQ(piece->getOffset(), k);
            ASSERT_EQ(piece->getLength(), sectors);
            const unsigned char* p = piece->getCodeBuffer();
            const int n = sectors * 512;
            const int words = n / 4;
            for (int b = 0; b < (sealed ? n - 4 : n); ++b) {
                const size_t at = static_cast<size_t>(k) * 4096 + static_cast<size_t>(b);
                ASSERT_EQ(p[b], at < bytes.size() ? bytes[at] : 0) << "piece " << k << " byte " << b;
            }
            if (sealed) {
                uint32_t x = 0;
                for (int i = 0; i < words - 1; ++i) {
                    x ^= wordAt(p, i);
                }
                EXPECT_EQ(wordAt(p, words - 1), x) << "piece " << k;
            }
        }
    }

    std::optional<code_test::StationFolder> station;
    test_support::TempFolder folder;
};

TEST_F(CodeFactoryTest, PiecesAndSealsFollowTheVariant)
{
    struct Case {
        const char* chip;
        bool dpf;
        int sectors;
        int scanPieces, udiskPieces, externalPieces, dpfPieces;
        int externalSectors;
    };
    // 20,000 external bytes: four whole steps (the tail is not used), two
    // pieces with photo-frame support, one whole-file piece on the 6605
    // (which has one piece of every image).
    const Case cases[] = {
        {"6706", false, 5, 2, 1, 4, 2, 5},
        {"6716", false, 8, 1, 1, 4, 2, 8},
        {"6716V31", true, 8, 1, 1, 2, 2, 8},
        {"6605", false, 32, 1, 1, 1, 1, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chip);
        UsbConfiguration::instance("");
        configure(c.chip, c.dpf);
        ASSERT_EQ(CodeFactory::init(), 0);
        CodeFactory& f = *CodeFactory::instance();
        const bool sealed = std::string(c.chip) != "6605";
        const std::string variant = std::string(c.chip) == "6716V31" ? "6716" : c.chip;
        expectPieces(*f.getCode(CODE_TYPE_SCAN), image("scan_" + variant + ".img"), c.scanPieces, c.sectors, sealed);
        expectPieces(*f.getCode(CODE_TYPE_RAM), image("udisk_" + variant + ".img"), c.udiskPieces, c.sectors,
                     sealed);
        expectPieces(*f.getCode(CODE_TYPE_RAM_HIGH_FORMAT), image(kExternal), 1, c.sectors, sealed);
        expectPieces(*f.getCode(CODE_TYPE_FLASH), image(kExternal), c.externalPieces, c.externalSectors, sealed);
        // Always the 6716V31 list, always 8 sectors.
        expectPieces(*f.getCode(CODE_TYPE_DPF), image("dpf_6716V31.img"), c.dpfPieces, 8, sealed);
        EXPECT_EQ(f.getExternalCodeLength(), c.externalPieces * c.externalSectors);

        Sptr<CmdExternalCode> scan = f.getCommand(CMD_SCAN_CODE);
        ASSERT_TRUE(scan);
        EXPECT_EQ(scan->getCodeLength(), c.scanPieces * c.sectors);
        EXPECT_TRUE(f.getCommand(CMD_DEFAULT_CFG_TABLE));
        delete CodeFactory::instance();
    }
}

TEST_F(CodeFactoryTest, BadFilesGiveTheirTypesCode)
{
    configure("6716", false);
    fs::remove("releases/code/scan_6716.img");
    EXPECT_EQ(CodeFactory::init(), CodeFactory::SCAN_CODE_FAILED);

    UsbConfiguration::instance("");
    configure("6716", false);
    dpf_test::writeFile("releases/code/scan_6716.img", dpf_test::Bytes(100, 1));
    fs::remove("releases/code/vor_mp3_code.IMG");
    EXPECT_EQ(CodeFactory::init(), CodeFactory::UDISK_CODE_FAILED);

    // A 6605 image larger than a piece holds.
    UsbConfiguration::instance("");
    configure("6605", false);
    dpf_test::writeFile("releases/code/VOR_MP3_Code.img", dpf_test::Bytes(CodeData::MAX_BYTES + 1, 7));
    EXPECT_EQ(CodeFactory::init(), CodeFactory::UDISK_CODE_FAILED);

    UsbConfiguration::instance("");
    configure("6716", false);
    UsbConfiguration::instance()->addDpfCodeImage("6716V31", "releases/code/missing.img");
    EXPECT_EQ(CodeFactory::init(), CodeFactory::DPF_CODE_FAILED);
}

TEST_F(CodeFactoryTest, ShortFilesAndEmptyLists)
{
    // A scan file shorter than one step gives no piece; no list at all is
    // no error either.
    UsbConfiguration::instance()->setChipSet("6716");
    UsbConfiguration::instance()->addScanCodeImage("6716", "releases/code/short.img");
    dpf_test::writeFile("releases/code/short.img", dpf_test::Bytes(3000, 9));
    // Photo-frame pieces of a 4,196-byte file: the second holds 100 bytes.
    UsbConfiguration::instance()->setDpfSupport(true);
    fs::copy_file("releases/code/udisk_6716.img", "releases/code/vor_mp3_code.IMG",
                  fs::copy_options::overwrite_existing);
    ASSERT_EQ(CodeFactory::init(), 0);
    CodeFactory& f = *CodeFactory::instance();
    EXPECT_EQ(f.getScanCodeLength(), 0);
    EXPECT_EQ(f.getDpfCodeLength(), 0);
    EXPECT_EQ(f.getCode(CODE_TYPE_RAM)->getCount(), 0);
    expectPieces(*f.getCode(CODE_TYPE_FLASH), image("udisk_6716.img"), 2, 8, true);
}

TEST_F(CodeFactoryTest, ResetReadsTheExternalCodeAgainWhileDevicesRead)
{
    configure("6716", false);
    ASSERT_EQ(CodeFactory::init(), 0);
    CodeFactory& f = *CodeFactory::instance();
    CmdExternalCode before("ExternalCode", CODE_TYPE_FLASH);
    EXPECT_EQ(before.getCodeLength(), 32);

    std::thread reader([&f] {
        for (int i = 0; i < 200; ++i) {
            const int n = f.getCode(CODE_TYPE_FLASH)->getCount();
            ASSERT_TRUE(n == 4 || n == 1);
            ASSERT_TRUE(f.getCommand(CMD_EXTERNAL_4_HIGH_FORMAT));
        }
    });
    dpf_test::writeFile("releases/code/vor_mp3_code.IMG", dpf_test::Bytes(4096, 3));
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(f.resetExtCode(), 0);
    }
    reader.join();
    EXPECT_EQ(f.getExternalCodeLength(), 8);
    // A command keeps the image it was built with.
    EXPECT_EQ(before.getCodeLength(), 32);
    EXPECT_EQ(CmdExternalCode("ExternalCode", CODE_TYPE_FLASH).getCodeLength(), 8);

    fs::remove("releases/code/vor_mp3_code.IMG");
    EXPECT_EQ(f.resetExtCode(), CodeFactory::UDISK_CODE_FAILED);
    EXPECT_EQ(f.getExternalCodeLength(), 8);
}

}  // namespace
