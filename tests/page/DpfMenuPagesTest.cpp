// The photo-frame menu pages and the caption images: the menu model they
// edit and the pictures they write, drawn in memory.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <set>

#include "DpfPageFixture.h"
#include "page/DpfCaptionImages.h"
#include "page/DpfMenuScreen.h"
#include "page/PageDpfClkMenuSetting.h"
#include "page/PageDpfPhotoMenuSetting.h"
#include "page/PageDpfSetMenuSetting.h"
#include "support/Screenshot.h"
#include "utils/BmpFile.h"
#include "platform/pelt/DeviceImage.h"
#include "utils/DpfImage.h"

namespace dpf_page_test {
namespace {

using namespace Tessor::page;
using Tessor::schema::DpfConfig;

QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i) {
        out << list->item(i)->text();
    }
    return out;
}

void setCheck(QListWidget* list, int row, bool on) { list->item(row)->setCheckState(on ? Qt::Checked : Qt::Unchecked); }

// A picture file: 16-bit pixels, high byte first, rows from the top.
class Picture {
public:
    explicit Picture(const fs::path& path) : m_bytes(readBytes(path)) {}
    size_t size() const { return m_bytes.size(); }
    int at(int x, int y) const
    {
        const size_t i = size_t(2 * (y * 128 + x));
        return (uint8_t(m_bytes[i]) << 8) | uint8_t(m_bytes[i + 1]);
    }
    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

constexpr int kBlack = 0x0000;
constexpr int kWhite = 0xFFFF;

class MenuPages : public DpfPageFixture {
protected:
    void SetUp() override
    {
        DpfPageFixture::SetUp();
        m_dpf = m_holder->getConfigInfo()->getDpfConfig();
        m_state = m_dpf->getStateControl();
        m_state->BackColour = 0x000000;
        m_state->WordColour = 0xFFFFFF;
        m_state->LguageSel = 1;
    }
    template <typename P>
    std::unique_ptr<P> open()
    {
        auto page = std::make_unique<P>();
        page->holder = m_holder.get();
        page->show();
        return page;
    }
    Picture picture(const char* relative) const { return Picture(root() / relative); }
    Tessor::schema::DpfMenuItem& entry(int list, int id) const
    {
        return *m_dpf->getMenuCfg()->getSubMenuItem(list, id);
    }

    Sptr<DpfConfig> m_dpf;
    Sptr<Tessor::schema::DpfStateControl> m_state;
};

TEST_F(MenuPages, ClockEntriesGoToTheTopAndTheDisplayGroupFollowsItsEntry)
{
    auto page = open<PageDpfClkMenuSetting>();
    EXPECT_EQ(QStringList({"DISPLAY", "SETTING", "CLOCK OSD", "STOP WATCH", "ALARM", "AUTO OFF", "EXIT"}),
              texts(page->orderList(0)));
    for (int row = 0; row < 6; ++row) {
        setCheck(page->checkList(0), row, false);
    }
    // All optional entries off: the exit row alone, numbered 1.
    EXPECT_EQ(QStringList({"EXIT"}), texts(page->orderList(0)));
    EXPECT_EQ(1, entry(1, 12).getPosition());
    EXPECT_FALSE(entry(1, 6).getState());
    EXPECT_FALSE(page->checkList(1)->isEnabled());
    EXPECT_FALSE(page->exitCombo(1)->isEnabled());

    setCheck(page->checkList(0), 0, true);  // DISPLAY
    setCheck(page->checkList(0), 1, true);  // SETTING
    EXPECT_EQ(QStringList({"SETTING", "DISPLAY", "EXIT"}), texts(page->orderList(0)));
    EXPECT_TRUE(page->checkList(1)->isEnabled());
    EXPECT_EQ(1, entry(1, 7).getPosition());
    EXPECT_EQ(2, entry(1, 6).getPosition());
    EXPECT_EQ(3, entry(1, 12).getPosition());

    // Slot r names the row shown at place r; slots no row points at keep theirs.
    entry(1, 11).setSubFun(99);
    page->OnBnClickedMenuConfirm();
    EXPECT_EQ(2, entry(1, 6).getSubFun());
    EXPECT_EQ(1, entry(1, 7).getSubFun());
    EXPECT_EQ(7, entry(1, 8).getSubFun());
    EXPECT_EQ(99, entry(1, 11).getSubFun());

    // A dragged order is taken when the rows move.
    auto* order = page->orderList(0);
    order->insertItem(0, order->takeItem(2));
    page->OnOrderChange(0);
    EXPECT_EQ(1, entry(1, 12).getPosition());
    EXPECT_EQ(3, entry(1, 6).getPosition());

    page->exitCombo(0)->setCurrentIndex(1);
    page->OnExitChange(0);
    EXPECT_EQ(1, m_dpf->getMenuCfg()->getMenuList(1)->getStyle());
    page->exitCombo(0)->setCurrentIndex(0);
    page->OnExitChange(0);
    EXPECT_EQ(0, m_dpf->getMenuCfg()->getMenuList(1)->getStyle());
    test_support::saveScreenshot(*page, "page_dpf_clock_menu");
}

TEST_F(MenuPages, DisplayMenuAlwaysShowsTheDigitalClockAndExit)
{
    auto page = open<PageDpfClkMenuSetting>();
    setCheck(page->checkList(1), 0, false);
    setCheck(page->checkList(1), 1, false);
    EXPECT_EQ(QStringList({"DIGITAL CLOCK", "EXIT"}), texts(page->orderList(1)));
    page->OnBnClickedMenuConfirm();
    // Digital clock (row 2) at place 1, exit (row 4) at place 2.
    EXPECT_EQ(2, entry(6, 24).getSubFun());
    EXPECT_EQ(4, entry(6, 25).getSubFun());
}

TEST_F(MenuPages, WelcomeGroupFollowsTheWelcomeEntry)
{
    m_state->LguageSel = 0;
    auto page = open<PageDpfSetMenuSetting>();
    setCheck(page->checkList(0), 2, false);  // 开机画面
    EXPECT_FALSE(page->checkList(1)->isEnabled());
    EXPECT_FALSE(page->orderList(1)->isEnabled());
    EXPECT_FALSE(entry(4, 19).getState());
    setCheck(page->checkList(0), 2, true);
    EXPECT_TRUE(page->orderList(1)->isEnabled());
    EXPECT_EQ(QString::fromUtf8("开机画面"), texts(page->orderList(0)).first());
    setCheck(page->checkList(1), 0, false);
    setCheck(page->checkList(1), 1, false);
    EXPECT_EQ(QStringList({QString::fromUtf8("欢迎画面"), QString::fromUtf8("退出")}), texts(page->orderList(1)));
    test_support::saveScreenshot(*page, "page_dpf_setting_menu");
}

TEST_F(MenuPages, PicturesHoldTheFramesSeparatorGlyphsAndTitleInTheirPlaces)
{
    auto page = open<PageDpfClkMenuSetting>();
    const Picture clock = picture("releases/dpf/menu/english/mainMenu/L1Clock.img");
    ASSERT_EQ(32768u, clock.size());
    for (int x = 0; x < 128; ++x) {
        EXPECT_EQ(x < 127 ? kWhite : kBlack, clock.at(x, 15)) << x;
    }
    // Two colours only; the title's pixels in the band from its x on.
    bool titleDrawn = false;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const int pixel = clock.at(x, y);
            ASSERT_TRUE(pixel == kBlack || pixel == kWhite) << x << "," << y;
            if (y < 15 && pixel == kWhite) {
                EXPECT_GE(x, 45);
                titleDrawn = true;
            }
        }
    }
    EXPECT_TRUE(titleDrawn);
    // Row n: glyph n at (2, 17 + 16 (n - 1)), as the glyph file holds it.
    for (int n = 1; n <= 7; ++n) {
        const QImage glyph = Tessor::utils::loadBitmapFile((root() / ("releases/res/menu" + std::to_string(n) + ".bmp")).string());
        ASSERT_EQ(QSize(14, 13), glyph.size());
        for (int y = 0; y < 13; ++y) {
            for (int x = 0; x < 14; ++x) {
                const int expected = glyph.pixel(x, y) == qRgb(255, 255, 255) ? kWhite : kBlack;
                EXPECT_EQ(expected, clock.at(2 + x, 17 + 16 * (n - 1) + y)) << n;
            }
        }
        EXPECT_EQ(kWhite, clock.at(2, 17 + 16 * (n - 1)));  // the glyph's frame
    }
    // The preview shows the picture written.
    EXPECT_EQ(QByteArray::fromStdString(clock.bytes()),
              Tessor::pelt::toDpfImage(page->preview(0)->pixmap().toImage()));
    // The display menu's rows are 15 pixels apart.
    const Picture display = picture("releases/dpf/menu/english/subMenu/Display.img");
    EXPECT_EQ(kWhite, display.at(2, 17 + 15));
    EXPECT_EQ(kWhite, display.at(2, 17 + 45));
    EXPECT_TRUE(fs::exists(root() / "releases/res/ClockMenu.bmp"));
    EXPECT_TRUE(fs::exists(root() / "releases/res/CLKDisplayMenu.bmp"));
    EXPECT_FALSE(fs::exists(root() / "releases/dpf/menu/chinese/mainMenu/L1Clock.img"));

    page->OnBnClickedMenuConfirm();
    EXPECT_TRUE(fs::exists(root() / "releases/res/E_ClkMenu.bmp"));
    EXPECT_EQ(8192u, readBytes(root() / "releases/dpf/menu/english/weekNum/KNUM.img").size());

    // Chinese frame: its own folder.
    m_state->LguageSel = 0;
    page->refresh();
    EXPECT_EQ(32768u, picture("releases/dpf/menu/chinese/mainMenu/L1Clock.img").size());
}

TEST_F(MenuPages, ConfirmRebuildsTheGlyphFileInTheNewColours)
{
    auto photo = open<PageDpfPhotoMenuSetting>();
    auto settings = open<PageDpfSetMenuSetting>();
    settings->OnBnClickedMenuConfirm();
    const fs::path knum = root() / "releases/dpf/menu/english/weekNum/KNUM.img";
    auto colours = [&] {
        const std::string bytes = readBytes(knum);
        std::set<int> seen;
        for (int i = 0; i < 14 * 13; ++i) {
            seen.insert((uint8_t(bytes[size_t(2 * i)]) << 8) | uint8_t(bytes[size_t(2 * i + 1)]));
        }
        return seen;
    };
    EXPECT_EQ((std::set<int>{kBlack, kWhite}), colours());
    m_state->BackColour = 0xFF0000;
    m_state->WordColour = 0x00FF00;
    settings->OnBnClickedMenuConfirm();
    EXPECT_EQ((std::set<int>{0xF800, 0x07E0}), colours());
    // The photo page's every refresh writes its English picture too.
    fs::remove(root() / "releases/res/E_PhotoMenu.bmp");
    photo->refresh();
    EXPECT_TRUE(fs::exists(root() / "releases/res/E_PhotoMenu.bmp"));
    test_support::saveScreenshot(*photo, "page_dpf_photo_menu");
}

// Reference screens drawn the same way, to hold the captions against.
std::string screenBytes(const DpfMenuScreen& screen)
{
    return Tessor::pelt::toDpfImage(screen.image()).toStdString();
}

TEST_F(MenuPages, CaptionImagesOfBothLanguages)
{
    const std::string work = root().string();
    ASSERT_TRUE(DpfMenuScreen::drawGlyphs(0x000000, 0xFFFFFF, work));
    buildMenuImages(m_holder->getConfigInfo(), 1, work);
    buildMenuImages(m_holder->getConfigInfo(), 0, work);

    int bitmaps = 0;
    for (const auto& entry : fs::directory_iterator(root() / "releases/res")) {
        bitmaps += entry.path().filename().string().rfind("menu", 0) != 0;
    }
    EXPECT_EQ(33, bitmaps);
    int images = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root() / "releases/dpf/menu")) {
        if (entry.path().extension() == ".img") {
            ++images;
            EXPECT_EQ(32768u, fs::file_size(entry.path())) << entry.path();
        }
    }
    EXPECT_EQ(34, images);

    const Picture space = picture("releases/dpf/menu/english/subMenu/Space.img");
    for (int x = 0; x < 128; ++x) {
        EXPECT_EQ(kBlack, space.at(x, 0));
        EXPECT_EQ(x < 127 ? kWhite : kBlack, space.at(x, 15)) << x;
    }
    EXPECT_EQ(space.bytes(), readBytes(root() / "releases/dpf/menu/chinese/subMenu/Space.img"));

    DpfMenuScreen alarm(0x000000, 0xFFFFFF, work);
    alarm.separator();
    alarm.title("Alarm", 45);
    EXPECT_EQ(screenBytes(alarm), picture("releases/dpf/menu/english/subMenu/Alarm2.img").bytes());

    DpfMenuScreen deleteAll(0x000000, 0xFFFFFF, work);
    deleteAll.separator();
    deleteAll.title("DELETE ALL", 30);
    deleteAll.row(0, "NO");
    deleteAll.row(1, "YES");
    deleteAll.row(2, "Exit");
    EXPECT_EQ(screenBytes(deleteAll), picture("releases/dpf/menu/english/subMenu/DeleteAll.img").bytes());

    // L1Usb: no title, no separator, two rows.
    const Picture usb = picture("releases/dpf/menu/chinese/mainMenu/L1Usb.img");
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 128; ++x) {
            ASSERT_EQ(kBlack, usb.at(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(kWhite, usb.at(2, 17));
    EXPECT_EQ(kWhite, usb.at(2, 33));
    EXPECT_EQ(kBlack, usb.at(2, 49));

    // The stopwatch face.
    const Picture watch = picture("releases/dpf/menu/english/subMenu/StopWatch.img");
    const struct {
        int x, y, pixel;
    } face[] = {{6, 40, kWhite},  {120, 60, kWhite}, {9, 43, kWhite},   {12, 60, kWhite},  {45, 60, kWhite},
                {48, 63, kWhite}, {49, 63, kBlack},  {45, 71, kWhite},  {46, 66, kBlack},  {1, 114, kWhite},
                {28, 125, kWhite}, {29, 125, kBlack}, {15, 120, kBlack}, {126, 125, kBlack}, {125, 125, kWhite}};
    for (const auto& p : face) {
        EXPECT_EQ(p.pixel, watch.at(p.x, p.y)) << p.x << "," << p.y;
    }
}

}  // namespace
}  // namespace dpf_page_test
