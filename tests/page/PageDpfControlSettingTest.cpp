// The photo frame's control and position pages on their own, headless.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "DpfPageFixture.h"
#include "page/DpfResourceBitmaps.h"
#include "page/PageDpfControlSetting.h"
#include "page/PageDpfPositionSetting.h"
#include "support/Screenshot.h"

namespace dpf_page_test {
namespace {

using Tessor::page::PageDpfControlSetting;
using Tessor::page::PageDpfPositionSetting;
using Control = PageDpfControlSetting;

const QDateTime kFixedClock(QDate(2009, 3, 5), QTime(7, 8, 9));

class ControlPage : public DpfPageFixture {
protected:
    void SetUp() override
    {
        DpfPageFixture::SetUp();
        m_dpf = m_holder->getConfigInfo()->getDpfConfig();
        m_page = std::make_unique<Control>();
        m_page->holder = m_holder.get();
        m_page->clock = [] { return kFixedClock; };
        m_page->chooseFolder = [this] { return m_folder; };
    }
    QComboBox* combo(int id) const { return static_cast<QComboBox*>(m_page->GetDlgItem(id)); }
    void choose(int id, int index)
    {
        combo(id)->setCurrentIndex(index);
        m_page->OnComboChanged(id);
    }
    Tessor::schema::DpfMenuItem& mainEntry(int id) const { return *m_dpf->getMenuCfg()->getSubMenuItem(0, id); }
    std::set<std::string> files(const char* folder) const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(root() / folder)) {
            names.insert(entry.path().filename().string());
            EXPECT_EQ(32768u, fs::file_size(entry.path())) << entry.path();
        }
        return names;
    }

    Sptr<Tessor::schema::DpfConfig> m_dpf;
    std::unique_ptr<Control> m_page;
    QString m_folder;
};

TEST_F(ControlPage, SwitchesOptionsAndSlidersReachTheSettings)
{
    auto state = m_dpf->getStateControl();
    auto hw = m_dpf->getHwControl();
    state->OsdEn = true;
    state->BeepEn = false;
    state->LogoSel = 10;
    state->DclkMode = 7;  // beyond the list
    hw->LogoMovieLen = 1;
    hw->LogoVal = 201;
    m_dpf->getCoordinate(5)->Left = 64;  // date X: fifteen small cells from here leave the screen
    m_page->show();
    EXPECT_TRUE(static_cast<QCheckBox*>(m_page->GetDlgItem(1007))->isChecked());
    EXPECT_EQ(QString::fromUtf8("模拟时钟"), combo(Control::IDC_STARTUP)->currentText());
    EXPECT_EQ(-1, combo(Control::IDC_DATE_MODE)->currentIndex());
    EXPECT_EQ(QStringList({QString::fromUtf8("中文"), QString::fromUtf8("英文")}),
              (QStringList{combo(Control::IDC_LANGUAGE)->itemText(0), combo(Control::IDC_LANGUAGE)->itemText(1)}));
    EXPECT_EQ(2, hw->LogoMovieLen);
    EXPECT_EQ(0, hw->LogoVal);
    EXPECT_EQ("2", m_page->GetDlgItemText(1259));

    static_cast<QCheckBox*>(m_page->GetDlgItem(1009))->setChecked(true);
    m_page->OnSwitchClicked(4);
    EXPECT_TRUE(state->BeepEn);
    choose(Control::IDC_STARTUP, 3);
    EXPECT_EQ(13, state->LogoSel);
    choose(Control::IDC_STOPWATCH, 1);
    EXPECT_TRUE(state->WatchMode);
    choose(Control::IDC_LANGUAGE, 1);
    EXPECT_EQ(1, state->LguageSel);
    choose(Control::IDC_KEY_PIN, 2);
    EXPECT_EQ(2, state->KeyPinType);
    const int previews = m_page->previewCount();
    choose(Control::IDC_DATE_MODE, 1);
    EXPECT_EQ(1, state->DclkMode);
    EXPECT_EQ(previews + 1, m_page->previewCount());
    static_cast<QSlider*>(m_page->GetDlgItem(Control::IDC_MOVIE_LEN_SLIDER))->setValue(9);
    EXPECT_EQ(9, hw->LogoMovieLen);

    // The clock positions: stored at once, the preview redrawn. A stored
    // position the preview bounds is stored as it shows.
    EXPECT_EQ(126 - 15 * Tessor::page::DpfResourceBitmaps::SMALL_CELL.width(), m_page->upDown(Control::IDC_DATE_X)->value());
    EXPECT_EQ(m_page->upDown(Control::IDC_DATE_X)->value(), m_dpf->getCoordinate(5)->Left);
    m_page->upDown(Control::IDC_TIME_X)->setValue(10);
    EXPECT_EQ(10, m_dpf->getCoordinate(4)->Left);
    m_page->upDown(Control::IDC_DATE_Y)->setValue(90);
    EXPECT_EQ(90, m_dpf->getCoordinate(5)->Top);
    test_support::saveScreenshot(*m_page, "page_dpf_control_setting");
}

TEST_F(ControlPage, AStartupCodeWithoutRowSelectsTheFirstAndStoresNothing)
{
    m_dpf->getStateControl()->LogoSel = 5;
    m_page->show();
    EXPECT_EQ(0, combo(Control::IDC_STARTUP)->currentIndex());
    EXPECT_EQ(5, m_dpf->getStateControl()->LogoSel);
}

TEST_F(ControlPage, MainMenuKeyOrderAfterCheckAndDrag)
{
    m_page->show();
    QListWidget* checks = m_page->mainChecks();
    ASSERT_EQ(4, checks->count());
    checks->item(1)->setCheckState(Qt::Unchecked);  // 图片菜单
    EXPECT_FALSE(mainEntry(1).getState());
    checks->item(1)->setCheckState(Qt::Checked);
    QListWidget* order = m_page->mainOrder();
    EXPECT_EQ(QString::fromUtf8("图片菜单"), order->item(0)->text());
    // Photo 1, clock 2, e-book 3, settings 4, exit 5.
    EXPECT_EQ(1, mainEntry(1).getPosition());
    EXPECT_EQ(2, mainEntry(0).getPosition());
    EXPECT_EQ(5, mainEntry(5).getPosition());
    EXPECT_EQ(2, mainEntry(0).getSubFun());  // place 1 shows the photo menu (row 2)
    EXPECT_EQ(1, mainEntry(1).getSubFun());

    // Dragged: exit to the top.
    order->insertItem(0, order->takeItem(4));
    m_page->OnLbnKillfocusMainOrder();
    EXPECT_EQ(1, mainEntry(5).getPosition());
    EXPECT_EQ(5, mainEntry(0).getSubFun());  // place 1 shows the exit (row 5)
    combo(Control::IDC_MAIN_EXIT)->setCurrentIndex(1);
    m_page->OnCbnSelchangeMainExit();
    EXPECT_EQ(1, m_dpf->getMenuCfg()->getMenuList(0)->getStyle());
}

TEST_F(ControlPage, LogoAnimationAndPhotosBecomeDevicePictures)
{
    m_page->show();
    writePicture(root() / "in" / "logo.png", Qt::green);
    m_files->answer(QString::fromStdString((root() / "in" / "logo.png").string()));
    m_page->OnBnClickedBrowseLogo();
    EXPECT_EQ(std::set<std::string>{"Logo.img"}, files("releases/dpf/menu/english/logo"));
    EXPECT_EQ((root() / "in" / "logo.png").string(), m_dpf->getStartPicPath());

    // Only ".jpg", ".bmp" and ".gif" as written, each under its own name.
    const fs::path movie = root() / "movie-in";
    writePicture(movie / "a.jpg", Qt::red, "JPG");
    writePicture(movie / "b.BMP", Qt::red, "BMP");
    writeTinyGif(movie / "c.gif");
    writeBytes(movie / "d.txt", "text");
    writeBytes(root() / "releases/dpf/movie/old.img", "stale");
    m_dpf->getHwControl()->LogoMovieLen = 16;
    m_folder = QString::fromStdString(movie.string()) + "/";
    m_page->OnBnClickedBrowseMovieFolder();
    EXPECT_EQ((std::set<std::string>{"a.img", "c.img"}), files("releases/dpf/movie"));
    EXPECT_EQ(m_folder, m_page->GetDlgItemText(Control::IDC_MOVIE_PATH));
    ASSERT_TRUE(m_dpf->getOneMovie(1));
    EXPECT_FALSE(m_dpf->getOneMovie(2));

    // The limits: the animation length and the photo count.
    const fs::path five = root() / "five";
    for (const char* name : {"1.bmp", "2.bmp", "3.bmp", "4.bmp", "5.bmp"}) {
        writePicture(five / name, Qt::blue, "BMP");
    }
    m_folder = QString::fromStdString(five.string());
    m_dpf->getHwControl()->LogoMovieLen = 2;
    m_page->OnBnClickedBrowseMovieFolder();
    EXPECT_EQ((std::set<std::string>{"1.img", "2.img"}), files("releases/dpf/movie"));
    m_dpf->setMaxImagesCount(3);
    m_page->OnBnClickedBrowsePhotoFolder();
    EXPECT_EQ((std::set<std::string>{"1.img", "2.img", "3.img"}), files("releases/dpf/photo"));
    EXPECT_TRUE(m_dpf->getOnePhoto(2));

    // A cancelled choice changes nothing.
    m_folder.clear();
    m_page->OnBnClickedBrowsePhotoFolder();
    EXPECT_EQ(3u, files("releases/dpf/photo").size());
}

class PositionPage : public DpfPageFixture {
protected:
    void SetUp() override
    {
        DpfPageFixture::SetUp();
        m_dpf = m_holder->getConfigInfo()->getDpfConfig();
        m_page = std::make_unique<PageDpfPositionSetting>();
        m_page->holder = m_holder.get();
        m_page->clock = [] { return kFixedClock; };
    }
    Sptr<Tessor::schema::DpfConfig> m_dpf;
    std::unique_ptr<PageDpfPositionSetting> m_page;
};

TEST_F(PositionPage, StoredPositionsAreBoundedByTheirRanges)
{
    m_dpf->getCoordinate(8)->Left = 60;
    m_dpf->getCoordinate(7)->Top = 120;
    m_dpf->getCoordinate(9)->Top = 0;
    m_page->show();
    EXPECT_EQ(45, m_page->upDown(8, true)->value());
    EXPECT_EQ(45, m_dpf->getCoordinate(8)->Left);
    EXPECT_EQ(100, m_page->upDown(7, false)->value());
    EXPECT_EQ(100, m_dpf->getCoordinate(7)->Top);
    // The previews raise the calendar's lower bound to 1, and a stored 0
    // with it.
    EXPECT_EQ(1, m_page->upDown(9, false)->minimum());
    EXPECT_EQ(1, m_dpf->getCoordinate(9)->Top);
    m_page->upDown(9, false)->setValue(5);
    EXPECT_EQ(5, m_dpf->getCoordinate(9)->Top);
    test_support::saveScreenshot(*m_page, "page_dpf_position_setting");
}

TEST_F(PositionPage, WhatThePreviewsShowIsWhatIsStored)
{
    m_dpf->getCoordinate(6)->Left = 84;  // alarm digits: five large cells from here leave the screen
    m_dpf->getCoordinate(9)->Left = 100;  // the calendar's date
    m_dpf->getCoordinate(3)->Top = 120;  // picture number
    m_page->show();
    for (int item : {0, 1, 2, 3, 6, 7, 8, 9}) {
        for (bool x : {true, false}) {
            SCOPED_TRACE(std::to_string(item) + (x ? " X" : " Y"));
            const Tessor::schema::ItemCoordinate* at = m_dpf->getCoordinate(item);
            EXPECT_EQ(m_page->upDown(item, x)->value(), x ? at->Left : at->Top);
        }
    }
    EXPECT_EQ(126 - 5 * Tessor::page::DpfResourceBitmaps::LARGE_CELL.width(), m_dpf->getCoordinate(6)->Left);
    // The date is drawn whole, "yyyy/MM/dd", and stays on the screen.
    EXPECT_EQ(126 - 10 * Tessor::page::DpfResourceBitmaps::SMALL_CELL.width(), m_dpf->getCoordinate(9)->Left);
    // The first previews already draw the items where they are stored.
    EXPECT_EQ(m_page->preview(PageDpfPositionSetting::TIME_PREVIEW)->pixmap().toImage(),
              QPixmap::fromImage(m_page->drawTimePreview()).toImage());
    EXPECT_EQ(m_page->preview(PageDpfPositionSetting::DATE_PREVIEW)->pixmap().toImage(),
              QPixmap::fromImage(m_page->drawDatePreview()).toImage());
    test_support::saveScreenshot(*m_page, "page_dpf_position_setting_bounded");
}

TEST_F(PositionPage, ANumberTypedPastTheRangeIsClampedAndStoredAsShown)
{
    m_page->show();
    // In order: each case starts from what the one before left.
    const struct {
        int item;
        bool x;
        const char* typed;
        int stored;  // and shown
    } cases[] = {
        {0, true, "999", 127},                    // OSD X, 0..127
        {0, true, "99999999999999999999", 127},   // beyond 64 bits
        {0, true, "42", 42},
        {0, true, "4x", 4},                       // a letter is no digit
        {7, false, "150", 100},                   // animation Y, 0..100
        {9, false, "115", 112},                   // calendar date Y, bounded by its preview
        {9, false, "-3", 1},                      // the previews' lower bound
        {9, false, "", 1},                        // emptied and left: the value again
    };
    for (const auto& c : cases) {
        QSpinBox* box = m_page->upDown(c.item, c.x);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, c.typed);
        QTest::keyClick(box, Qt::Key_Return);
        box->clearFocus();
        const Tessor::schema::ItemCoordinate* at = m_dpf->getCoordinate(c.item);
        EXPECT_EQ(c.stored, c.x ? at->Left : at->Top) << c.typed;
        EXPECT_EQ(QString::number(c.stored), box->text()) << c.typed;
        EXPECT_EQ(c.stored, box->value()) << c.typed;
    }
}

TEST_F(PositionPage, OnlyItemsWithAPreviewRedrawIt)
{
    m_page->show();
    const int time = m_page->previewCount(PageDpfPositionSetting::TIME_PREVIEW);
    const int date = m_page->previewCount(PageDpfPositionSetting::DATE_PREVIEW);
    m_page->upDown(0, true)->setValue(33);  // OSD
    EXPECT_EQ(33, m_dpf->getCoordinate(0)->Left);
    EXPECT_EQ(time, m_page->previewCount(PageDpfPositionSetting::TIME_PREVIEW));
    m_page->upDown(2, true)->setValue(12);  // battery
    EXPECT_EQ(12, m_dpf->getCoordinate(2)->Left);
    EXPECT_EQ(time + 1, m_page->previewCount(PageDpfPositionSetting::TIME_PREVIEW));
    m_page->upDown(8, false)->setValue(3);  // calendar year-month
    EXPECT_EQ(3, m_dpf->getCoordinate(8)->Top);
    EXPECT_EQ(date + 1, m_page->previewCount(PageDpfPositionSetting::DATE_PREVIEW));
}

}  // namespace
}  // namespace dpf_page_test
