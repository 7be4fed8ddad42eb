// Drawing in memory with the pixel rules of the pages' pictures.
#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <vector>

#include "platform/mfc/CDC.h"
#include "support/QtApp.h"

namespace {

using namespace Tessor::mfc;
using test_support::qtApp;

constexpr COLORREF kRed = 0x0000FF;  // 0x00BBGGRR
constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

QImage blank(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kBlack);
    return image;
}

// One character per pixel: '.' untouched, 'r' red, 'b' blue, 'w' white.
std::vector<std::string> picture(const QImage& image)
{
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            row += p == kBlack ? '.' : p == qRgb(255, 0, 0) ? 'r' : p == qRgb(0, 0, 255) ? 'b' : p == qRgb(255, 255, 255) ? 'w' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(CDC, LinesLeaveOutTheirEndPointAndMoveTheCurrentPosition)
{
    qtApp();
    QImage image = blank(6, 6);
    {
        CDC dc(&image);
        dc.SetPenColor(kRed);
        dc.MoveTo(0, 0);
        dc.LineTo(4, 0);  // x = 0..3
        dc.LineTo(4, 3);  // from the end of the last one: y = 0..2
        dc.SetPenColor(kBlue);
        dc.MoveTo(0, 2);
        dc.LineTo(3, 5);  // diagonal: (0,2) (1,3) (2,4), not (3,5)
        dc.MoveTo(5, 5);
        dc.LineTo(5, 5);  // a line to its own start draws nothing
    }
    const std::vector<std::string> expected = {
        "rrrrr.",
        "....r.",
        "b...r.",
        ".b....",
        "..b...",
        "......",
    };
    EXPECT_EQ(expected, picture(image));
}

TEST(CDC, RectanglesCoverLeftAndTopButNotRightAndBottom)
{
    qtApp();
    QImage image = blank(7, 6);
    {
        CDC dc(&image);
        dc.SetPenColor(kRed);
        dc.SetBrushColor(kBlue);
        dc.Rectangle(0, 0, 4, 4);  // frame x 0..3, y 0..3, inside blue
        dc.FillRect(5, 0, 7, 2, kWhite);
        dc.SetHollowBrush();
        dc.Rectangle(4, 3, 7, 6);  // frame only
        dc.FillRect(0, 5, 0, 6, kWhite);  // empty: nothing
    }
    const std::vector<std::string> expected = {
        "rrrr.ww",
        "rbbr.ww",
        "rbbr...",
        "rrrrrrr",
        "....r.r",
        "....rrr",
    };
    EXPECT_EQ(expected, picture(image));
}

TEST(CDC, TextSitsInItsCellByTheTopLeftAndOpaqueTextFillsTheCell)
{
    qtApp();
    QImage image = blank(60, 40);
    QSize cell;
    {
        CDC dc(&image);
        QFont font("DejaVu Sans");
        font.setPixelSize(13);
        dc.SelectFont(font);
        dc.SetTextColor(kWhite);
        dc.SetBkColor(kBlue);
        dc.SetBkMode(OPAQUE);
        cell = dc.GetTextExtent("18");
        dc.TextOut(10, 5, "18");
    }
    ASSERT_GT(cell.width(), 0);
    int textPixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const bool inCell = x >= 10 && x < 10 + cell.width() && y >= 5 && y < 5 + cell.height();
            if (!inCell) {
                EXPECT_EQ(kBlack, p) << x << "," << y;
            } else {
                // No smoothing: every pixel is the text or the background.
                EXPECT_TRUE(p == qRgb(255, 255, 255) || p == qRgb(0, 0, 255)) << x << "," << y;
                textPixels += p == qRgb(255, 255, 255);
            }
        }
    }
    EXPECT_GT(textPixels, 10);

    // Transparent text leaves the cell's background as it was.
    QImage clear = blank(60, 40);
    {
        CDC dc(&clear);
        dc.SetTextColor(kWhite);
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(10, 5, "18");
    }
    for (int y = 0; y < clear.height(); ++y) {
        for (int x = 0; x < clear.width(); ++x) {
            const QRgb p = clear.pixel(x, y);
            EXPECT_TRUE(p == kBlack || p == qRgb(255, 255, 255)) << x << "," << y;
        }
    }
}

TEST(CDC, BitBltCopiesACellOfTheSource)
{
    qtApp();
    QImage strip = blank(2, 4);
    strip.setPixel(0, 2, qRgb(255, 0, 0));
    strip.setPixel(1, 3, qRgb(0, 0, 255));
    QImage image = blank(4, 3);
    {
        CDC dc(&image);
        dc.BitBlt(1, 1, 2, 2, strip, 0, 2);
    }
    const std::vector<std::string> expected = {"....", ".r..", "..b."};
    EXPECT_EQ(expected, picture(image));
}

}  // namespace
