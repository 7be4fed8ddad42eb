// The colour picker and its palette, driven as the operator would.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "page/CColorPicker.h"
#include "page/ColorPalette.h"
#include "platform/mfc/ColorDialog.h"
#include "platform/mfc/ScreenPixel.h"
#include "support/QtApp.h"
#include "support/Screenshot.h"

namespace {

using Tessor::mfc::COLORREF;
using Tessor::page::CColorPicker;
using Tessor::page::ColorPalette;

class FixedPixels : public Tessor::mfc::ScreenPixelSource {
public:
    std::optional<COLORREF> pixelAt(QPoint) override { return colour; }
    COLORREF colour = 0x00123456;
};

class Picker : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_support::qtApp(); }
    void SetUp() override
    {
        Tessor::mfc::setScreenPixelSource(m_pixels);
        m_window.resize(300, 260);
        m_picker = new CColorPicker(&m_window);
        m_picker->setGeometry(20, 20, 40, 22);
        m_buddy = new QLineEdit(&m_window);
        m_buddy->setGeometry(80, 20, 80, 22);
        m_picker->buddy = m_buddy;
        m_picker->onCommand = [this] { ++m_commands; };
        m_window.show();
    }
    void TearDown() override { Tessor::mfc::setScreenPixelSource(nullptr); }
    void settle() { test_support::waitOnGui([] { return true; }); }
    ColorPalette* open()
    {
        QTest::mouseClick(m_picker, Qt::LeftButton);
        return m_picker->palette();
    }
    QPoint onPalette(ColorPalette* palette, int x, int y) { return palette->mapToGlobal(QPoint(x, y)); }

    std::shared_ptr<FixedPixels> m_pixels = std::make_shared<FixedPixels>();
    QWidget m_window;
    CColorPicker* m_picker = nullptr;
    QLineEdit* m_buddy = nullptr;
    int m_commands = 0;
};

TEST(PaletteColours, GreysThenSixLevelsPerChannel)
{
    auto rgb = [](int r, int g, int b) { return COLORREF(r | g << 8 | b << 16); };
    const struct {
        int column, row;
        COLORREF colour;
    } cells[] = {
        {0, 0, rgb(255, 255, 255)}, {0, 10, rgb(23, 23, 23)},     {0, 11, rgb(0, 0, 0)},
        {1, 0, rgb(0, 0, 0)},       {1, 5, rgb(0, 0, 255)},       {2, 0, rgb(0, 51, 0)},
        {7, 0, rgb(51, 0, 0)},      {18, 5, rgb(102, 255, 255)},  {1, 6, rgb(153, 0, 0)},
        {13, 11, rgb(255, 0, 255)}, {18, 11, rgb(255, 255, 255)}, {8, 8, rgb(204, 51, 102)},
    };
    for (const auto& c : cells) {
        EXPECT_EQ(c.colour, ColorPalette::cellColor(c.row * ColorPalette::COLUMNS + c.column))
            << c.column << "," << c.row;
    }
}

TEST(PaletteColours, OpensUnderThePickerAndStaysOnTheScreen)
{
    const QSize screen(1024, 768);
    EXPECT_EQ(QPoint(100, 121), ColorPalette::placeFor(QRect(100, 100, 40, 22), screen));
    EXPECT_EQ(QPoint(1024 - 191, 121), ColorPalette::placeFor(QRect(900, 100, 40, 22), screen));
    EXPECT_EQ(QPoint(0, 121), ColorPalette::placeFor(QRect(-30, 100, 40, 22), screen));
    EXPECT_EQ(QPoint(100, 740 - 150 + 21), ColorPalette::placeFor(QRect(100, 740, 40, 22), screen));
}

TEST_F(Picker, SetColorWritesTheBuddyAndReportsToTheOwner)
{
    m_picker->SetColor(0x000000FF);
    EXPECT_EQ("#FF0000", m_buddy->text());
    EXPECT_EQ(0x000000FFu, m_picker->GetColor());
    settle();
    EXPECT_EQ(1, m_commands);
}

TEST_F(Picker, ACellChosenInThePaletteBecomesTheColour)
{
    m_picker->SetColor(0x00FFFFFF);
    settle();
    m_commands = 0;
    ColorPalette* palette = open();
    ASSERT_NE(nullptr, palette);
    EXPECT_TRUE(m_picker->isPaletteOpen());
    // Red 255, green 0, blue 0: column 13, row 6.
    const QPoint cell = onPalette(palette, 135, 65);
    palette->onMouseMove(cell);
    EXPECT_EQ(6 * 19 + 13, palette->hoveredCell());
    EXPECT_EQ(0x000000FFu, palette->currentColor());
    test_support::saveScreenshot(*palette, "color_palette_open");
    // The line right of the cell clears the hover and keeps the colour.
    palette->onMouseMove(onPalette(palette, 139, 65));
    EXPECT_EQ(-1, palette->hoveredCell());
    EXPECT_EQ(0x000000FFu, palette->currentColor());
    palette->onButtonDown(cell);
    palette->onButtonUp(cell);
    settle();
    EXPECT_FALSE(m_picker->isPaletteOpen());
    EXPECT_EQ(0x000000FFu, m_picker->GetColor());
    EXPECT_EQ("#FF0000", m_buddy->text());
    EXPECT_EQ(1, m_commands);
}

TEST_F(Picker, TheLinesAroundTheCellsBelongToNoCell)
{
    ColorPalette* palette = open();
    const struct {
        int x, y;
        int cell;
    } points[] = {
        {0, 0, 0},                 // a cell's first pixel
        {130, 60, 6 * 19 + 13},    //
        {138, 68, 6 * 19 + 13},    // its last
        {139, 65, -1},             // the line right of it
        {135, 69, -1},             // the line under it
        {135, 119, -1},            // the line under the last row
        {188, 118, 11 * 19 + 18},  // the last cell's last pixel
        {189, 5, -1},              // right of the grid
        {190, 5, -1},
    };
    for (const auto& p : points) {
        palette->onMouseMove(onPalette(palette, 100, 130));
        palette->onMouseMove(onPalette(palette, p.x, p.y));
        EXPECT_EQ(p.cell, palette->hoveredCell()) << p.x << "," << p.y;
    }
}

TEST_F(Picker, AClickOnTheLineUnderAHighlightedCellKeepsItsColour)
{
    m_picker->SetColor(0x00FFFFFF);
    ColorPalette* palette = open();
    // Column 13, row 7: red 255, green 0, blue 51; its line is reached from below.
    palette->onMouseMove(onPalette(palette, 135, 75));
    const QPoint line = onPalette(palette, 135, 69);
    palette->onMouseMove(line);
    palette->onButtonDown(line);
    palette->onButtonUp(line);
    settle();
    EXPECT_EQ(ColorPalette::cellColor(7 * 19 + 13), m_picker->GetColor());
    EXPECT_EQ("#FF0033", m_buddy->text());
}

TEST_F(Picker, TheSameColourChosenAgainReportsNothing)
{
    m_picker->SetColor(0x000000FF);
    settle();
    m_commands = 0;
    m_buddy->setText("edited");
    ColorPalette* palette = open();
    const QPoint cell = onPalette(palette, 135, 65);
    palette->onMouseMove(cell);
    palette->onButtonUp(cell);
    settle();
    EXPECT_FALSE(m_picker->isPaletteOpen());
    EXPECT_EQ(0, m_commands);
    EXPECT_EQ("edited", m_buddy->text());
}

TEST_F(Picker, TheEyedropperTakesAColourOutsideThePalette)
{
    ColorPalette* palette = open();
    const QPoint outside = m_picker->mapToGlobal(QPoint(-15, -15));
    palette->onButtonDown(outside);
    palette->onMouseMove(outside + QPoint(1, 0));
    EXPECT_EQ(0x00123456u, palette->currentColor());
    palette->onButtonUp(outside + QPoint(1, 0));
    settle();
    EXPECT_EQ(0x00123456u, m_picker->GetColor());
    EXPECT_EQ("#563412", m_buddy->text());
}

TEST_F(Picker, BelowTheGridTheStartingColourReturns)
{
    m_picker->SetColor(0x00010203);
    ColorPalette* palette = open();
    palette->onMouseMove(onPalette(palette, 5, 5));
    EXPECT_EQ(0x00FFFFFFu, palette->currentColor());
    palette->onMouseMove(onPalette(palette, 60, 135));
    EXPECT_EQ(0x00010203u, palette->currentColor());
    EXPECT_EQ(-1, palette->hoveredCell());
}

class AnsweredColours : public Tessor::mfc::ColorDialogService {
public:
    std::optional<COLORREF> chooseColor(COLORREF) override { return 0x0000FF00; }
};

TEST_F(Picker, ThePalettesButtonOpensTheColourDialogInstead)
{
    Tessor::mfc::setColorDialogService(std::make_shared<AnsweredColours>());
    ColorPalette* palette = open();
    QTest::mouseClick(palette->colorDialogButton(), Qt::LeftButton);
    ASSERT_TRUE(test_support::waitOnGui([this] { return !m_picker->isPaletteOpen(); }));
    EXPECT_EQ(0x0000FF00u, m_picker->GetColor());
    EXPECT_EQ("#00FF00", m_buddy->text());
    Tessor::mfc::setColorDialogService(nullptr);
}

}  // namespace
