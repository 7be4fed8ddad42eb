// The photo frame's basic settings page on its own, headless.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <vector>

#include "DpfPageFixture.h"
#include "page/CColorPicker.h"
#include "page/PageDpfBasicSetting.h"
#include "platform/ini/Ini.h"
#include "support/Screenshot.h"
#include "utils/EbookReflow.h"

namespace dpf_page_test {
namespace {

using Tessor::page::PageDpfBasicSetting;
using Page = PageDpfBasicSetting;

class BasicPage : public DpfPageFixture {
protected:
    void SetUp() override
    {
        DpfPageFixture::SetUp();
        m_page = std::make_unique<Page>();
        m_page->holder = m_holder.get();
        m_dpf = m_holder->getConfigInfo()->getDpfConfig();
    }
    void show() { m_page->show(); }
    QString text(int id) const { return m_page->GetDlgItemText(id); }
    // A file chosen in slot 0's dialog.
    void browse(const fs::path& file)
    {
        m_files->answer(QString::fromStdString(file.string()));
        m_page->OnBnClickedBrowseText(0);
    }
    std::string ebook(const std::string& name) const { return readBytes(root() / "releases/dpf/ebook" / name); }

    std::unique_ptr<Page> m_page;
    Sptr<Tessor::schema::DpfConfig> m_dpf;
};

TEST(BasicPageColours, StoredRgbShownBgrAndBuddyTextReadBack)
{
    EXPECT_EQ(0x563412u, Page::storedToColorRef(0x123456));
    EXPECT_EQ(0x0000FFu, Page::storedToColorRef(0xFF0000));
    EXPECT_EQ(0x563412u, Page::storedToColorRef(int32_t(0xAB123456)));  // only 24 bits count
    const struct {
        const char* text;
        int32_t stored;
    } texts[] = {{"#FF0000", 0xFF0000}, {"##123456", 0x123456}, {"#ABC", 0xABABBC},
                 {"12345678", 0x345678}, {"#GG0000", 0}, {"", 0}};
    for (const auto& t : texts) {
        EXPECT_EQ(t.stored, Page::colorTextToStored(t.text)) << t.text;
    }
    EXPECT_EQ(0x1Fu, Page::parseHex("0x1F"));
    EXPECT_EQ(0xABu, Page::parseHex("00ab"));
    EXPECT_EQ(0u, Page::parseHex("12345678901234567"));
}

TEST(BasicPageBooks, ExtensionReplacedWhole)
{
    EXPECT_EQ("story.txt", Page::ebookOutputName("story.txt"));
    EXPECT_EQ("notes.txt", Page::ebookOutputName("notes.abc"));
    EXPECT_EQ("a.txt", Page::ebookOutputName("a.markdown"));
    EXPECT_EQ("b.c.txt", Page::ebookOutputName("b.c.text"));
    EXPECT_EQ("README.txt", Page::ebookOutputName("README"));
}

TEST_F(BasicPage, OutOfRangeValuesShowAndStoreTheirFallbacks)
{
    auto hw = m_dpf->getHwControl();
    hw->KeyDetLong = 70;
    hw->AutoShutVal = 31;
    hw->BackLight = 7;
    hw->IdleVal = 2000;
    hw->BeepLength = 50;
    hw->KeyDetMin = 10;
    hw->KeyDetMax = 99;
    hw->RAlarmVal = 1000;
    show();
    const struct {
        int row;
        int shown;
        int stored;
    } sliders[] = {{0, 40, hw->KeyDetLong}, {5, 0, hw->AutoShutVal}, {1, 7, hw->BackLight},
                   {6, 2000, hw->IdleVal},  {11, 100, hw->BeepLength}};
    for (const auto& s : sliders) {
        EXPECT_EQ(s.shown, m_page->slider(s.row)->value()) << s.row;
        EXPECT_EQ(QString::number(s.shown), m_page->sliderEdit(s.row)->text()) << s.row;
        EXPECT_EQ(s.shown, s.stored) << s.row;
    }
    EXPECT_EQ("2", text(Page::IDC_KEY_SHORT_MIN));
    EXPECT_EQ(2, hw->KeyDetMin);
    EXPECT_EQ("99", text(Page::IDC_KEY_SHORT_MAX));
    EXPECT_EQ("600", text(Page::IDC_RESET_ALARM));
    EXPECT_EQ(600, hw->RAlarmVal);
    // The operator moves a slider: the value follows at once.
    m_page->slider(5)->setValue(17);
    EXPECT_EQ(17, hw->AutoShutVal);
    EXPECT_EQ("17", m_page->sliderEdit(5)->text());
    m_page->SetDlgItemText(Page::IDC_RESET_ALARM, "abc");
    EXPECT_EQ(600, hw->RAlarmVal);
}

TEST_F(BasicPage, RotationKeepsAnUnknownValueUntilARadioIsClicked)
{
    m_dpf->getStateControl()->PhotoDirect = 7;
    show();
    EXPECT_TRUE(static_cast<QRadioButton*>(m_page->GetDlgItem(Page::IDC_ROTATE0))->isChecked());
    EXPECT_EQ(7, m_dpf->getStateControl()->PhotoDirect);
    static_cast<QRadioButton*>(m_page->GetDlgItem(Page::IDC_ROTATE0 + 2))->click();
    EXPECT_EQ(2, m_dpf->getStateControl()->PhotoDirect);
}

TEST_F(BasicPage, ColoursAfterTheFirstChangeAreStoredAsRgb)
{
    auto state = m_dpf->getStateControl();
    state->BackColour = 0x112233;
    state->CurColour = int32_t(0xFF445566);
    state->WordColour = 0x0000FF;
    show();
    // The first change (the background handed to its picker) is not stored;
    // the other two are stored back, cut to 24 bits.
    EXPECT_EQ(0x112233, state->BackColour);
    EXPECT_EQ(0x445566, state->CurColour);
    EXPECT_EQ(0x0000FF, state->WordColour);
    EXPECT_EQ(0x332211u, m_page->picker(Page::IDC_BACK_PICKER)->GetColor());
    EXPECT_EQ("#112233", text(Page::IDC_BACK_COLOR));
    m_page->picker(Page::IDC_BACK_PICKER)->SetColor(0x000000FF);  // red picked
    EXPECT_EQ(0xFF0000, state->BackColour);
    EXPECT_EQ("#FF0000", text(Page::IDC_BACK_COLOR));
    // The colour texts stay with the pickers: none shows on the page.
    for (const QLabel* label : m_page->findChildren<QLabel*>()) {
        EXPECT_FALSE(label->isVisible() && label->text().startsWith('#')) << label->text().toStdString();
    }
    for (const QLineEdit* edit : m_page->findChildren<QLineEdit*>()) {
        EXPECT_FALSE(edit->isVisible() && edit->text().startsWith('#')) << edit->text().toStdString();
    }
}

TEST_F(BasicPage, NumberEditsRefuseOrClampAndShowWhatIsStored)
{
    auto hw = m_dpf->getHwControl();
    hw->KeyDetMin = 3;
    hw->KeyDetMax = 12;
    hw->RAlarmVal = 300;
    m_dpf->setMaxImagesCount(100);
    show();
    const auto stored = [&](int id) -> int {
        switch (id) {
        case Page::IDC_KEY_SHORT_MIN: return hw->KeyDetMin;
        case Page::IDC_KEY_SHORT_MAX: return hw->KeyDetMax;
        case Page::IDC_RESET_ALARM: return hw->RAlarmVal;
        default: return int(m_dpf->getMaxImagesCount());
        }
    };
    const QString refusal = "Value invalid! Please enter the number ";
    // In order: each case starts from what the one before left.
    const struct {
        int id;
        const char* typed;
        int stored;  // and shown
        const char* range;
    } cases[] = {
        {Page::IDC_KEY_SHORT_MIN, "x", 3, "0-9"},
        {Page::IDC_KEY_SHORT_MIN, "", 3, "0-9"},
        {Page::IDC_KEY_SHORT_MIN, "7", 7, nullptr},
        {Page::IDC_KEY_SHORT_MAX, "-5", 12, "0-99"},
        {Page::IDC_KEY_SHORT_MAX, "45", 45, nullptr},
        {Page::IDC_RESET_ALARM, "abc", 300, "0-999"},
        {Page::IDC_RESET_ALARM, "1a", 300, "0-999"},
        {Page::IDC_RESET_ALARM, "999", 999, nullptr},
        {Page::IDC_MAX_PHOTO, "20", 32, "32-2048"},
        {Page::IDC_MAX_PHOTO, "5000", 2048, "32-2048"},
        {Page::IDC_MAX_PHOTO, "x", 2048, "32-2048"},
        {Page::IDC_MAX_PHOTO, "12abc", 2048, "32-2048"},
        {Page::IDC_MAX_PHOTO, "99999999999", 2048, "32-2048"},
        {Page::IDC_MAX_PHOTO, "32", 32, nullptr},
        {Page::IDC_MAX_PHOTO, " 500 ", 500, nullptr},
    };
    for (const auto& c : cases) {
        m_boxes->clear();
        auto* edit = static_cast<QLineEdit*>(m_page->GetDlgItem(c.id));
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, c.typed);
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(c.stored, stored(c.id)) << c.id << " " << c.typed;
        EXPECT_EQ(QString::number(c.stored), text(c.id).trimmed()) << c.id << " " << c.typed;
        EXPECT_EQ(c.range ? QStringList{refusal + c.range} : QStringList(), m_boxes->texts()) << c.id << " " << c.typed;
    }
}

TEST_F(BasicPage, BooksAreReflowedIntoTheEbookFolderAndListed)
{
    show();
    m_page->OnBnClickedReset();
    EXPECT_EQ(QString::fromUtf8("保存"), text(Page::IDC_EBOOK_RESET));
    EXPECT_TRUE(m_page->GetDlgItem(Page::IDC_EBOOK_BROWSE[0])->isEnabled());

    const std::string story = "Hello world, this is a test\r\nabc";
    writeBytes(root() / "in" / "notes.abc", story);
    browse(root() / "in" / "notes.abc");
    std::vector<unsigned char> expected;
    Tessor::utils::reflowEbookText(reinterpret_cast<const unsigned char*>(story.data()), int32_t(story.size()),
                                   &expected);
    EXPECT_EQ(std::string(expected.begin(), expected.end()), ebook("notes.txt"));
    EXPECT_EQ(QString::fromStdString((root() / "in" / "notes.abc").string()), text(Page::IDC_EBOOK_PATH[0]));
    ASSERT_TRUE(m_dpf->getOneBook(0));
    EXPECT_EQ("releases\\dpf\\ebook\\notes.txt", m_dpf->getOneBook(0)->getFileName());

    // Up to 8 MiB and what lies below the next MiB are taken; 9 MiB is not.
    writeBytes(root() / "in" / "big.txt", std::string(9000000, 'a'));
    browse(root() / "in" / "big.txt");
    EXPECT_EQ(9000000u + 449999u, ebook("big.txt").size());  // a marker after each full line but the last
    writeBytes(root() / "in" / "huge.txt", std::string(9437184, 'a'));
    browse(root() / "in" / "huge.txt");
    EXPECT_FALSE(fs::exists(root() / "releases/dpf/ebook/huge.txt"));
    EXPECT_EQ("", text(Page::IDC_EBOOK_PATH[0]));
    EXPECT_EQ(QStringList{QString::fromUtf8("提示： 文本文件不能超过8M!")}, m_boxes->texts());

    // A file that cannot be opened empties the slot without a message.
    browse(root() / "in" / "missing.txt");
    EXPECT_EQ("", text(Page::IDC_EBOOK_PATH[0]));
    EXPECT_EQ(1, m_boxes->texts().size());
    EXPECT_EQ(".txt files (*.txt)|*.txt|All Files (*.*)|*.*||", m_files->filters.first());

    // A second reset press locks the slots; a third empties the folder.
    m_page->OnBnClickedReset();
    EXPECT_EQ(QString::fromUtf8("重置"), text(Page::IDC_EBOOK_RESET));
    EXPECT_FALSE(m_page->GetDlgItem(Page::IDC_EBOOK_PATH[0])->isEnabled());
    m_page->OnBnClickedReset();
    EXPECT_TRUE(fs::is_empty(root() / "releases/dpf/ebook"));
    EXPECT_FALSE(m_dpf->getOneBook(0));
}

// A book that cannot be written says whether its file could not be made or
// not be filled, and leaves the frame's list as it was.
TEST_F(BasicPage, BookThatCannotBeWrittenSaysWhy)
{
    show();
    m_page->OnBnClickedReset();
    writeBytes(root() / "in" / "notes.txt", "text");
    const struct {
        const char* blocker;  // made under the ebook folder, or empty to remove the folder
        const char* message;
    } cases[] = {
        {"", "创建文本失败"},
        {"notes.txt", "写文本文件失败"},  // a folder where the book belongs
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        fs::remove_all(root() / "releases/dpf/ebook");
        if (*c.blocker != '\0') {
            fs::create_directories(root() / "releases/dpf/ebook" / c.blocker);
        }
        const qsizetype shown = m_boxes->texts().size();
        browse(root() / "in" / "notes.txt");
        ASSERT_EQ(shown + 1, m_boxes->texts().size());
        EXPECT_EQ(QString::fromUtf8(c.message), m_boxes->texts().last());
        EXPECT_FALSE(m_dpf->getOneBook(0));
        if (*c.blocker != '\0') {  // nothing left beside what was there
            EXPECT_EQ(1, std::distance(fs::directory_iterator(root() / "releases/dpf/ebook"), {}));
        }
    }
}

TEST_F(BasicPage, LcdTypeCopiesItsImageAndIsRecordedAfterwards)
{
    const fs::path ini = root() / "releases/usr/etc/LCD.INI";
    writeBytes(ini, "[B_TYPE]\r\nx=1\r\n[a_type]\r\n[LAST_CHOICE]\r\nLCD_TYPE=B_TYPE\r\n[broken]\r\n");
    std::string image(1024, '\0');
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = char(i * 7);
    }
    writeBytes(root() / "releases/code/a_type.img", image);
    show();
    QComboBox* types = m_page->lcdTypes();
    ASSERT_EQ(3, types->count());
    EXPECT_EQ("a_type", types->itemText(0));
    EXPECT_EQ("B_TYPE", types->currentText());

    types->setCurrentIndex(0);
    m_page->OnCbnSelchangeLcdType();
    EXPECT_EQ(image, readBytes(root() / "releases/code/VOR_6830_LCD.img"));
    char last[64] = {};
    GetPrivateProfileStringA("LAST_CHOICE", "LCD_TYPE", "NONE", last, sizeof(last), ini.c_str());
    EXPECT_STREQ("a_type", last);

    // An image that is not there keeps the active one and the choice.
    types->setCurrentIndex(2);
    ASSERT_EQ("broken", types->currentText());
    m_page->OnCbnSelchangeLcdType();
    EXPECT_EQ(1, m_boxes->texts().size());
    EXPECT_EQ(image, readBytes(root() / "releases/code/VOR_6830_LCD.img"));
    GetPrivateProfileStringA("LAST_CHOICE", "LCD_TYPE", "NONE", last, sizeof(last), ini.c_str());
    EXPECT_STREQ("a_type", last);
    test_support::saveScreenshot(*m_page, "page_dpf_basic_setting");

    // An active image that cannot be replaced is named (the reason is
    // logged), and the choice stays.
    writeBytes(root() / "releases/code/B_TYPE.img", "other");
    fs::remove(root() / "releases/code/VOR_6830_LCD.img");
    fs::create_directories(root() / "releases/code/VOR_6830_LCD.img/inside");
    types->setCurrentIndex(1);
    ASSERT_EQ("B_TYPE", types->currentText());
    m_page->OnCbnSelchangeLcdType();
    ASSERT_EQ(2, m_boxes->texts().size());
    EXPECT_EQ("Can not write the file " + QString::fromStdString((root() / "releases/code/VOR_6830_LCD.img").string()),
              m_boxes->texts().last());
    GetPrivateProfileStringA("LAST_CHOICE", "LCD_TYPE", "NONE", last, sizeof(last), ini.c_str());
    EXPECT_STREQ("a_type", last);
    EXPECT_EQ(1, std::distance(fs::directory_iterator(root() / "releases/code/VOR_6830_LCD.img"), {}));
}

TEST_F(BasicPage, TheDemoStationsLcdFilesFillTheListAndThePreview)
{
    for (const char* folder : {"releases/usr/etc", "releases/code", "releases/res"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(TESSOR_SAMPLES) / folder)) {
            if (entry.path().filename().string().rfind("LCD", 0) == 0) {
                fs::copy_file(entry.path(), root() / folder / entry.path().filename());
            }
        }
    }
    show();
    ASSERT_EQ(2, m_page->lcdTypes()->count());
    EXPECT_FALSE(m_page->lcdTypes()->currentText().isEmpty());
    // Every rotation has its picture, scaled to the preview.
    const auto* preview = static_cast<QLabel*>(m_page->GetDlgItem(Page::IDC_PREVIEW));
    QImage turns[4];
    for (int n = 0; n < 4; ++n) {
        static_cast<QRadioButton*>(m_page->GetDlgItem(Page::IDC_ROTATE0 + n))->click();
        turns[n] = preview->pixmap().toImage();
        EXPECT_EQ(preview->size(), turns[n].size()) << n;
        EXPECT_EQ(n, m_dpf->getStateControl()->PhotoDirect);
    }
    EXPECT_NE(turns[0], turns[1]);
    test_support::saveScreenshot(*m_page, "page_dpf_basic_setting_demo_lcd");
    // The choice copies the type's image into place.
    m_page->lcdTypes()->setCurrentIndex(0);
    m_page->OnCbnSelchangeLcdType();
    EXPECT_TRUE(m_boxes->texts().isEmpty());
    EXPECT_EQ(readBytes(fs::path(TESSOR_SAMPLES) / "releases/code" / (m_page->lcdTypes()->itemText(0).toStdString() + ".img")),
              readBytes(root() / "releases/code/VOR_6830_LCD.img"));
}

TEST_F(BasicPage, NoLastChoiceLeavesTheTypeUnselected)
{
    writeBytes(root() / "releases/usr/etc/LCD.INI", "[one]\r\n[two]\r\n");
    show();
    EXPECT_EQ(2, m_page->lcdTypes()->count());
    EXPECT_EQ(-1, m_page->lcdTypes()->currentIndex());
}

}  // namespace
}  // namespace dpf_page_test
