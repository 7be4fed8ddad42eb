// Picture files of the common formats into device pictures.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <filesystem>
#include <fstream>

#include "platform/pelt/BmpBin.h"
#include "support/TempFolder.h"
#include "platform/pelt/DeviceImage.h"
#include "utils/DpfImage.h"

namespace {

namespace fs = std::filesystem;
using Tessor::pelt::CBmpBin;

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int pixel(const std::string& bytes, int x, int y)
{
    const size_t i = size_t(2 * (y * 128 + x));
    return (uint8_t(bytes[i]) << 8) | uint8_t(bytes[i + 1]);
}

class Pictures : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "pelt-test";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }
    std::string path(const std::string& name) const { return (fs::path(m_dir.path()) / name).string(); }
    int convert(const std::string& source, const std::string& target)
    {
        Tessor::pelt::ConversionRecord record;
        return CBmpBin::HBMP2UsbData565(path(source), &record, path(target), 1);
    }
    test_support::TempFolder m_dir;
};

// The rule: scaled to fit the screen keeping its proportions, centred on black.
TEST_F(Pictures, AWidePictureFitsTheScreenCentredOnBlack)
{
    QImage wide(256, 128, QImage::Format_RGB32);
    wide.fill(Qt::red);
    ASSERT_TRUE(wide.save(QString::fromStdString(path("wide.png"))));
    ASSERT_EQ(1, convert("wide.png", "wide.img"));
    const std::string bytes = readBytes(path("wide.img"));
    ASSERT_EQ(32768u, bytes.size());
    for (int y : {0, 31, 32, 64, 95, 96, 127}) {
        EXPECT_EQ(y >= 32 && y < 96 ? 0xF800 : 0x0000, pixel(bytes, 0, y)) << y;
        EXPECT_EQ(y >= 32 && y < 96 ? 0xF800 : 0x0000, pixel(bytes, 127, y)) << y;
    }
}

TEST_F(Pictures, AScreenSizedBitmapIsTakenAsItIs)
{
    QImage screen(128, 128, QImage::Format_RGB32);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            screen.setPixel(x, y, qRgb(x * 2, y * 2, (x + y) & 0xFF));
        }
    }
    ASSERT_TRUE(screen.save(QString::fromStdString(path("screen.bmp")), "BMP"));
    fs::copy_file(path("screen.bmp"), path("screen.rle"));
    ASSERT_EQ(1, convert("screen.rle", "screen.img"));
    EXPECT_EQ(Tessor::pelt::toDpfImage(screen).toStdString(), readBytes(path("screen.img")));
}

TEST_F(Pictures, EveryReadableFormatConvertsAndTheRestLeaveNoFile)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    // No writer for GIF: a one-pixel GIF of its own.
    std::ofstream(path("p.gif"), std::ios::binary)
        << std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00,\x00\x00\x00\x00"
                       "\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                       43);
    EXPECT_EQ(1, convert("p.gif", "p.gif.img"));
    EXPECT_EQ(0xF800, pixel(readBytes(path("p.gif.img")), 64, 64));
    for (const char* format : {"jpg", "png", "tif", "ico", "bmp"}) {
        const std::string name = std::string("p.") + format;
        ASSERT_TRUE(picture.save(QString::fromStdString(path(name)))) << format;
        EXPECT_EQ(1, convert(name, name + ".img")) << format;
        EXPECT_EQ(32768u, fs::file_size(path(name + ".img"))) << format;
    }
    std::ofstream(path("text.txt")) << "not a picture";
    std::ofstream(path("meta.WMF")) << "\xD7\xCD\xC6\x9A";
    EXPECT_EQ(0, convert("text.txt", "text.img"));
    EXPECT_EQ(0, convert("meta.WMF", "meta.img"));
    EXPECT_EQ(0, convert("missing.png", "missing.img"));
    EXPECT_FALSE(fs::exists(path("text.img")));
    EXPECT_FALSE(fs::exists(path("meta.img")));
}

}  // namespace
