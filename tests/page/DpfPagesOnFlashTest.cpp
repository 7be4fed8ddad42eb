// What the photo-frame pages write reaches a produced photo-frame device:
// a simulated device produced with the pages' settings and its flash read
// back the way the frame reads it.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "page/DpfCaptionImages.h"
#include "page/PageDpfBasicSetting.h"
#include "page/PageDpfClkMenuSetting.h"
#include "page/PageDpfControlSetting.h"
#include "DpfPageFixture.h"
#include "platform/mfc/FileDialog.h"
#include "support/QtApp.h"
#include "usb/dpf/DpfRoad.h"
#include "utils/EbookReflow.h"
#include "page/MavikConfig.h"

namespace dpf_test {
namespace {

const Variant k6716{"6716", 1};
// Room for the default 2048 photos and the books leaves the 1 Gbit test
// device no disk.
constexpr int kPhotos = 64;

class PagesOnFlash : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_support::qtApp(); }
    void SetUp() override
    {
        fs::current_path(DpfRoad::station());
        Tessor::schema::UsbConfiguration::instance()->setCurrentFunction(Tessor::schema::FUNCTION_USER);
        m_holder = std::make_unique<Tessor::page::MavikConfig>(nullptr);
        Tessor::mfc::setFileDialogService(m_files);
    }
    void TearDown() override { Tessor::mfc::setFileDialogService(nullptr); }

    std::unique_ptr<Tessor::page::MavikConfig> m_holder;
    std::shared_ptr<Tessor::mfc::ScriptedFileDialogs> m_files = std::make_shared<Tessor::mfc::ScriptedFileDialogs>();
};

TEST_F(PagesOnFlash, AnImportedBookIsInTheDevicesEbookArea)
{
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text += "Chapter " + std::to_string(i) + " of a story whose words wrap at the frame's line end.\r\n";
    }
    const fs::path source = DpfRoad::station() / "incoming" / "Zz story.text";
    writeFile(source, Bytes(text.begin(), text.end()));

    Tessor::page::PageDpfBasicSetting page;
    page.holder = m_holder.get();
    page.show();
    page.OnBnClickedReset();
    m_files->answer(QString::fromStdString(source.string()));
    page.OnBnClickedBrowseText(0);

    DpfRoad road(k6716, 1);
    page.dpfConfig()->setMaxImagesCount(kPhotos);
    const Bytes table = road.produce(0, page.dpfConfig());
    ASSERT_FALSE(table.empty());
    const FlashReader flash = road.reader(0);
    const Bytes directory = flash.readEbookDirectory(table);
    // The reset emptied the folder: the imported book is the only one.
    EXPECT_EQ(1, directory[0]);
    EXPECT_EQ(Bytes({'Z', 'z', ' ', 's', 't', 'o', 'r', 'y', 0xFF, 0xFF}), Bytes(directory.begin() + 1, directory.begin() + 11));
    EXPECT_EQ(2, directory[32]);
    std::vector<unsigned char> expected;
    Tessor::utils::reflowEbookText(reinterpret_cast<const unsigned char*>(text.data()), int32_t(text.size()),
                                   &expected);
    EXPECT_TRUE(flash.readBook(table, directory, 0) == expected);
}

// The first data file of area `type` as the flash holds it.
Bytes firstFileOfArea(const FlashReader& flash, const Bytes& table, int type, size_t size)
{
    return flash.read(FlashReader::areaAddress(table, type), int64_t(size / 512));
}

Bytes fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(PagesOnFlash, MenuAndCaptionPicturesAreInTheDevicesMenuAreas)
{
    Sptr<Tessor::schema::DpfConfig> dpf = m_holder->getConfigInfo()->getDpfConfig();
    dpf->getStateControl()->LguageSel = 1;
    dpf->getStateControl()->BackColour = 0x203040;
    dpf->getStateControl()->WordColour = 0xF0E0D0;
    Tessor::page::PageDpfClkMenuSetting clock;
    clock.holder = m_holder.get();
    clock.show();
    clock.OnBnClickedMenuConfirm();
    Tessor::page::buildMenuImages(m_holder->getConfigInfo(), 0, DpfRoad::station().string());
    // The tree spells the folders "MainMenu" and "SubMenu": the pictures
    // went into those, not into folders of their own.
    const fs::path english = DpfRoad::station() / "releases/dpf/menu/english";
    EXPECT_FALSE(fs::exists(english / "subMenu"));
    const Bytes l1Clock = fileBytes(english / "mainMenu/L1Clock.img");
    const Bytes space = fileBytes(english / "SubMenu/Space.img");
    EXPECT_FALSE(fs::exists(english / "mainMenu/L1EBook.img"));
    const Bytes eBook = fileBytes(english / "mainMenu/L1Ebook.img");
    ASSERT_EQ(32768u, l1Clock.size());
    ASSERT_EQ(32768u, space.size());
    // No restart: the device takes the pictures as they are now.

    DpfRoad road(k6716, 1);
    dpf->setMaxImagesCount(kPhotos);
    const Bytes table = road.produce(0, dpf);
    ASSERT_FALSE(table.empty());
    const FlashReader flash = road.reader(0);
    EXPECT_TRUE(firstFileOfArea(flash, table, 5, l1Clock.size()) == l1Clock);   // English L1Clock
    EXPECT_TRUE(firstFileOfArea(flash, table, 11, space.size()) == space);      // English Space
    // The e-book caption is the third picture of the English main menus.
    const Bytes area5 = firstFileOfArea(flash, table, 5, 3 * 32768);
    EXPECT_TRUE(Bytes(area5.begin() + 2 * 32768, area5.end()) == eBook);
    EXPECT_EQ(32768u, eBook.size());
}

TEST_F(PagesOnFlash, LogoAndAnimationPicturesAreOnTheDevice)
{
    const fs::path in = DpfRoad::station() / "pictures-in";
    dpf_page_test::writePicture(in / "logo.png", Qt::yellow);
    dpf_page_test::writePicture(in / "movie" / "a.jpg", Qt::red, "JPG");
    dpf_page_test::writeTinyGif(in / "movie" / "c.gif");
    Tessor::page::PageDpfControlSetting control;
    control.holder = m_holder.get();
    control.chooseFolder = [&] { return QString::fromStdString((in / "movie").string()); };
    control.show();
    m_files->answer(QString::fromStdString((in / "logo.png").string()));
    control.OnBnClickedBrowseLogo();
    control.OnBnClickedBrowseMovieFolder();
    const fs::path dpfFolder = DpfRoad::station() / "releases/dpf";
    const Bytes logo = fileBytes(dpfFolder / "menu/english/logo/Logo.img");
    const Bytes a = fileBytes(dpfFolder / "movie/a.img");
    const Bytes c = fileBytes(dpfFolder / "movie/c.img");
    ASSERT_EQ(32768u, logo.size());
    ASSERT_EQ(32768u, c.size());
    EXPECT_FALSE(fs::exists(dpfFolder / "movie/logo.img"));  // the tree's earlier picture is gone

    DpfRoad road(k6716, 1);
    control.dpfConfig()->setMaxImagesCount(kPhotos);
    const Bytes table = road.produce(0, control.dpfConfig());
    ASSERT_FALSE(table.empty());
    const FlashReader flash = road.reader(0);
    EXPECT_TRUE(firstFileOfArea(flash, table, 12, logo.size()) == logo);  // English logo
    Bytes movies = a;
    movies.insert(movies.end(), c.begin(), c.end());
    EXPECT_TRUE(flash.read(be32(table, 0x54), int64_t(movies.size() / 512)) == movies);
}

}  // namespace
}  // namespace dpf_test
