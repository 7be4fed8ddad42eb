// Bitmap files, the photo frame's picture files and the glyph file, byte
// by byte.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/mfc/CDC.h"
#include "support/QtApp.h"
#include "support/TempFolder.h"
#include "utils/BmpFile.h"
#include "platform/pelt/DeviceImage.h"
#include "utils/DpfImage.h"

namespace {

using namespace Tessor::utils;
using namespace Tessor::pelt;
using test_support::qtApp;
namespace fs = std::filesystem;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

uint32_t le32(const std::string& bytes, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
    }
    return v;
}

uint8_t byteAt(const std::string& bytes, size_t at) { return static_cast<uint8_t>(bytes[at]); }

QImage filled(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(DpfImage, ColoursAreCutToRgb565HighByteFirstRowsFromTheTop)
{
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0),   qRgb(0, 0, 255),
                            qRgb(255, 255, 255), qRgb(128, 128, 128), qRgb(0x12, 0x34, 0x56)};
    QImage image(3, 2, QImage::Format_RGB32);
    for (int i = 0; i < 6; ++i) {
        image.setPixel(i % 3, i / 3, colours[i]);
    }
    EXPECT_EQ(QByteArray::fromHex("F800" "07E0" "001F" "FFFF" "8410" "11AA"), toDpfImage(image));
}

// The 14 x 13 glyph size: rows of 42 pixel bytes padded to 44 in the bitmap.
TEST(BmpFile, TwentyFourBitFileHasTheExactHeaderAndBottomUpPaddedRows)
{
    qtApp();
    test_support::TempFolder dir;
    QImage glyph = filled(14, 13, qRgb(0, 0, 0));
    glyph.setPixel(0, 0, qRgb(0x10, 0x20, 0x30));   // top-left
    glyph.setPixel(0, 12, qRgb(0x01, 0x02, 0x03));  // bottom-left
    glyph.setPixel(13, 12, qRgb(0xA1, 0xA2, 0xA3));
    const fs::path bmp = fs::path(dir.path()) / "menu0.bmp";
    ASSERT_EQ(1, saveBitmapFile(glyph, bmp.string()));

    const std::string bytes = readFile(bmp);
    ASSERT_EQ(626u, bytes.size());
    EXPECT_EQ("BM", bytes.substr(0, 2));
    const std::pair<size_t, uint32_t> fields[] = {{2, 626}, {6, 0},  {10, 54}, {14, 40}, {18, 14}, {22, 13},
                                                  {26, 1 | (24 << 16)}, {30, 0}, {34, 0}, {38, 0},
                                                  {42, 0}, {46, 0}, {50, 0}};
    for (const auto& [at, value] : fields) {
        EXPECT_EQ(value, le32(bytes, at)) << "offset " << at;
    }
    // The bottom row comes first, blue green red, then two zero bytes of padding.
    EXPECT_EQ(std::string("\x03\x02\x01", 3), bytes.substr(54, 3));
    EXPECT_EQ(std::string("\xA3\xA2\xA1\0\0", 5), bytes.substr(54 + 39, 5));
    EXPECT_EQ(std::string("\x30\x20\x10", 3), bytes.substr(54 + 44 * 12, 3));

    // Read back: padding skipped, rows from the top, no padding: 364 bytes.
    const fs::path img = fs::path(dir.path()) / "menu0.img";
    ASSERT_EQ(1, convertBmpToImg(img.string(), bmp.string()));
    const std::string pixels = readFile(img);
    ASSERT_EQ(364u, pixels.size());
    EXPECT_EQ(0x11, byteAt(pixels, 0));  // (0x10, 0x20, 0x30)
    EXPECT_EQ(0x06, byteAt(pixels, 1));
    EXPECT_EQ(0xA5, byteAt(pixels, 362));  // (0xA1, 0xA2, 0xA3)
    EXPECT_EQ(0x14, byteAt(pixels, 363));
}

TEST(DpfImage, ScreensOfOneColourGiveThatColourThroughout)
{
    qtApp();
    test_support::TempFolder dir;
    for (const auto& [colour, byte] : {std::pair{qRgb(255, 255, 255), '\xFF'}, std::pair{qRgb(0, 0, 0), '\0'}}) {
        const fs::path bmp = fs::path(dir.path()) / "screen.bmp";
        const fs::path img = fs::path(dir.path()) / "screen.img";
        ASSERT_EQ(1, saveBitmapFile(filled(DPF_SCREEN_SIZE, DPF_SCREEN_SIZE, colour), bmp.string()));
        ASSERT_EQ(1, convertBmpToImg(img.string(), bmp.string()));
        EXPECT_EQ(std::string(32768, byte), readFile(img));
    }
}

TEST(DpfImage, AFailedConversionLeavesTheEarlierImageAsItWas)
{
    qtApp();
    test_support::TempFolder dir;
    const fs::path img = fs::path(dir.path()) / "L1Clock.img";
    writeFile(img, "earlier");
    EXPECT_EQ(0, convertBmpToImg(img.string(), dir.path() + "/missing.bmp"));
    writeFile(fs::path(dir.path()) / "broken.bmp", "BM not a bitmap");
    EXPECT_EQ(0, convertBmpToImg(img.string(), dir.path() + "/broken.bmp"));
    EXPECT_EQ("earlier", readFile(img));
    EXPECT_EQ(0, convertBmpToImg(dir.path() + "/fresh.img", dir.path() + "/missing.bmp"));
    EXPECT_FALSE(fs::exists(fs::path(dir.path()) / "fresh.img"));

    // A target that cannot be written is reported, not taken for done.
    ASSERT_EQ(1, saveBitmapFile(filled(4, 4, qRgb(1, 2, 3)), dir.path() + "/ok.bmp"));
    EXPECT_EQ(0, convertBmpToImg(dir.path() + "/no-such-folder/x.img", dir.path() + "/ok.bmp"));
    EXPECT_EQ(0, saveBitmapFile(filled(4, 4, qRgb(1, 2, 3)), dir.path() + "/no-such-folder/x.bmp"));
}

// The resource tree with the twelve glyphs, glyph i filled with grey level 16 * i.
class KnumImg : public ::testing::Test {
protected:
    void SetUp() override
    {
        qtApp();
        fs::create_directories(m_res);
        fs::create_directories(m_knum.parent_path());
        for (int i = 0; i < KNUM_GLYPHS; ++i) {
            saveGlyph(i, filled(14, 13, qRgb(16 * i, 16 * i, 16 * i)));
        }
    }
    void saveGlyph(int i, const QImage& glyph)
    {
        ASSERT_EQ(1, saveBitmapFile(glyph, (m_res / ("menu" + std::to_string(i) + ".bmp")).string()));
    }

    test_support::TempFolder m_dir;
    fs::path m_res = fs::path(m_dir.path()) / "releases" / "res";
    fs::path m_knum = fs::path(m_dir.path()) / "releases" / "dpf" / "menu" / "english" / "weekNum" / "KNUM.img";
};

TEST_F(KnumImg, TwelveRecordsOf512BytesAndAZeroTail)
{
    ASSERT_EQ(1, buildKnumImg(m_dir.path()));
    const std::string knum = readFile(m_knum);
    ASSERT_EQ(8192u, knum.size());
    for (int i = 0; i < KNUM_GLYPHS; ++i) {
        const QByteArray pixel = toDpfImage(filled(1, 1, qRgb(16 * i, 16 * i, 16 * i)));
        std::string expected;
        for (int p = 0; p < 182; ++p) {
            expected += pixel.toStdString();
        }
        expected += std::string(148, '\0');
        EXPECT_EQ(expected, knum.substr(size_t(i) * 512, 512)) << "record " << i;
    }
    EXPECT_EQ(std::string(2048, '\0'), knum.substr(12 * 512));
}

TEST_F(KnumImg, AMissingOrOversizedGlyphKeepsTheEarlierFile)
{
    ASSERT_EQ(1, buildKnumImg(m_dir.path()));
    const std::string earlier = readFile(m_knum);
    fs::remove(m_res / "menu5.bmp");
    EXPECT_EQ(0, buildKnumImg(m_dir.path()));
    EXPECT_EQ(earlier, readFile(m_knum));

    saveGlyph(5, filled(14, 13, qRgb(255, 255, 255)));
    saveGlyph(11, filled(17, 16, qRgb(255, 255, 255)));  // 272 pixels do not fit 512 bytes
    EXPECT_EQ(0, buildKnumImg(m_dir.path()));
    EXPECT_EQ(earlier, readFile(m_knum));
}

// A separator drawn from x = 0 to x = 127 stops short of its end point.
TEST(DpfImage, DrawnScreenKeepsTheLineEndRule)
{
    qtApp();
    QImage screen = newDpfScreen();
    {
        Tessor::mfc::CDC dc(&screen);
        dc.SetPenColor(0xFFFFFF);
        dc.MoveTo(0, 15);
        dc.LineTo(127, 15);
    }
    const QByteArray bytes = toDpfImage(screen);
    ASSERT_EQ(32768, bytes.size());
    const QByteArray row = bytes.mid(15 * 256, 256);
    EXPECT_EQ(QByteArray(254, '\xFF') + QByteArray(2, '\0'), row);
    EXPECT_EQ(QByteArray(256, '\0'), bytes.mid(14 * 256, 256));
}

}  // namespace
