#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "platform/orrin/Ecc.h"
#include "schema/base/UsbConfiguration.h"
#include "support/TempFolder.h"
#include "usb/scan/SampleFactory.h"

namespace Tessor::usb {
namespace {

constexpr int N = 8192;
constexpr int FILE_SIZE = 8650768;
constexpr int DATA = 16;
constexpr int DATA_ZONES = DATA + N * 512;
constexpr int REVERSE = DATA + N * 528;
constexpr int REVERSE_ZONES = DATA + N * 1040;

using Bytes = std::vector<unsigned char>;

uint32_t le32(const Bytes& bytes, size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24;
}

void putLe32(Bytes& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

class SampleFactoryTest : public testing::Test {
protected:
    Bytes readBack() const
    {
        std::ifstream in(m_file, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    void writeFile(const Bytes& bytes) const
    {
        std::ofstream(m_file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    void expectFreshFile() const
    {
        const Bytes file = readBack();
        ASSERT_EQ(size_t(FILE_SIZE), file.size());
        EXPECT_EQ(uint32_t(N), le32(file, 0));
        EXPECT_EQ(0u, le32(file, 4));
        EXPECT_EQ(uint32_t(N * 1056), le32(file, 8));
        EXPECT_EQ(0u, le32(file, 12));
        EXPECT_EQ(N, SampleFactory::instance()->getSectorCount());
    }

    test_support::TempFolder m_folder;
    const std::string m_file = m_folder.file("ScanSample.bin");
};

TEST_F(SampleFactoryTest, MissingFileIsCreatedAndReadBackUnchanged)
{
    ASSERT_EQ(0, SampleFactory::init(m_file, 1));
    expectFreshFile();
    const Bytes written = readBack();
    // The samples are the file's body, cut where the layout puts them.
    SampleFactory* samples = SampleFactory::instance();
    EXPECT_EQ(0, std::memcmp(samples->getSampleBuffer(0, false), &written[DATA], N * 512));
    EXPECT_EQ(0, std::memcmp(samples->getSampleBuffer(3, true), &written[DATA_ZONES], N * 16));
    EXPECT_EQ(N * 16, samples->getScanSample(0, true, N)->getLength());

    // A second start with another seed reads the file rather than remaking it.
    ASSERT_EQ(0, SampleFactory::init(m_file, 2));
    EXPECT_EQ(written, readBack());
    EXPECT_EQ(0, std::memcmp(SampleFactory::instance()->getSampleBuffer(0, false), &written[DATA], N * 512));
}

TEST_F(SampleFactoryTest, WordsKeepFifteenBitsAndTheComplementIsExact)
{
    ASSERT_EQ(0, SampleFactory::init(m_file, 7));
    const Bytes file = readBack();
    std::set<unsigned> distinct;
    for (int k = 0; k < N * 256; ++k) {
        const unsigned word = file[DATA + 2 * k] | file[DATA + 2 * k + 1] << 8;
        const unsigned reverse = file[REVERSE + 2 * k] | file[REVERSE + 2 * k + 1] << 8;
        ASSERT_EQ(0u, word & 0x8000) << "word " << k;
        ASSERT_EQ(~word & 0xFFFF, reverse) << "word " << k;
        distinct.insert(word);
    }
    EXPECT_GT(distinct.size(), 30000u);
}

TEST_F(SampleFactoryTest, ZonesCarryPresetAndCodeOfTheirSector)
{
    ASSERT_EQ(0, SampleFactory::init(m_file, 3));
    Bytes file = readBack();
    const struct {
        int sectors;
        int zones;
        unsigned char preset[3];
    } halves[] = {{DATA, DATA_ZONES, {0x5A, 0xA9, 0x40}}, {REVERSE, REVERSE_ZONES, {0xA5, 0x56, 0x81}}};
    for (const auto& half : halves) {
        for (int s = 0; s < N; ++s) {
            unsigned char* sector = &file[half.sectors + s * 512];
            unsigned char* zone = &file[half.zones + s * 16];
            ASSERT_EQ(0, std::memcmp(zone, half.preset, 3)) << "sector " << s;
            unsigned char expected[16] = {half.preset[0], half.preset[1], half.preset[2], 0};
            generateEccCode(sector, expected);
            ASSERT_EQ(0, std::memcmp(zone, expected, 16)) << "sector " << s;
            // Ten 10-bit codes packed low bit first from byte 3, as a zone reader takes them.
            for (int i = 0; i < 10; ++i) {
                unsigned code = 0;
                for (int bit = 0; bit < 10; ++bit) {
                    const int at = 24 + 10 * i + bit;
                    code |= ((zone[at / 8] >> (at % 8)) & 1u) << bit;
                }
                ASSERT_EQ(code, Ecc::zoneCode(zone, i)) << "sector " << s << " code " << i;
            }
            ASSERT_EQ(Ecc::Result::Clean, Ecc::checkAndCorrect(sector, zone)) << "sector " << s;
        }
    }
}

TEST_F(SampleFactoryTest, SeedDecidesTheData)
{
    ASSERT_EQ(0, SampleFactory::init(m_file, 11));
    const Bytes first = readBack();
    std::filesystem::remove(m_file);
    ASSERT_EQ(0, SampleFactory::init(m_file, 11));
    EXPECT_EQ(first, readBack());
    std::filesystem::remove(m_file);
    ASSERT_EQ(0, SampleFactory::init(m_file, 12));
    EXPECT_NE(first, readBack());
}

TEST_F(SampleFactoryTest, InvalidFileIsReplacedAtStart)
{
    ASSERT_EQ(0, SampleFactory::init(m_file, 5));
    const Bytes valid = readBack();
    Bytes twoSectors(16 + 2 * 1056, 0x11);
    putLe32(twoSectors, 0, 2);
    putLe32(twoSectors, 4, 0);
    putLe32(twoSectors, 8, 2 * 1056);
    putLe32(twoSectors, 12, 0);
    Bytes empty(16, 0);
    Bytes wrongCount = valid;
    putLe32(wrongCount, 0, N + 1);
    Bytes wrongLength = valid;
    putLe32(wrongLength, 8, N * 1056 - 1);
    Bytes cut(valid.begin(), valid.end() - 1);
    // Header agrees with the size, yet the body is short of the last sector.
    Bytes shortBody(3 * 1056 + 10, 0);
    putLe32(shortBody, 0, 3);
    putLe32(shortBody, 8, 3 * 1056 - 6);
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"a valid sample of another size", twoSectors},
        {"an empty sample", empty},
        {"a wrong sector count", wrongCount},
        {"a wrong length", wrongLength},
        {"a cut file", cut},
        {"a body shorter than its header says", shortBody},
        {"a file shorter than the header", Bytes(8, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(c.bytes);
        ASSERT_EQ(0, SampleFactory::init(m_file, 6));
        expectFreshFile();
    }
}

TEST_F(SampleFactoryTest, LaterRequestsNeverReplaceTheSamples)
{
    ASSERT_EQ(0, SampleFactory::init(m_file, 9));
    const Bytes written = readBack();
    SampleFactory* samples = SampleFactory::instance();
    char* before = samples->getSampleBuffer(0, false);
    Sptr<ScanSample> other = samples->getScanSample(1, false, 4096);
    EXPECT_EQ(before, other->getBuffer());
    EXPECT_EQ(N, samples->getSectorCount());
    EXPECT_EQ(written, readBack());
}

TEST_F(SampleFactoryTest, ConfiguredFileIsCreatedAtStart)
{
    const std::string configuration = m_folder.file("tool.cfg");
    std::ofstream(configuration) << "SampleFile string " << m_file << "\n";
    schema::UsbConfiguration::instance(configuration);
    ASSERT_EQ(0, SampleFactory::init());
    expectFreshFile();
}

TEST_F(SampleFactoryTest, UnwritableFileFailsTheStart)
{
    EXPECT_EQ(-4100, SampleFactory::init(m_folder.file("missing/ScanSample.bin"), 1));
}

}  // namespace
}  // namespace Tessor::usb
