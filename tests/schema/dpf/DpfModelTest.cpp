#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/LogCapture.h"
#include "schema/dpf/DpfConfig.h"

namespace Tessor::schema {
namespace {

namespace fs = std::filesystem;

TEST(DpfMenus, BuiltInTreeAndLookups)
{
    test_support::LogCapture log;
    DpfMenuCfg menus("Menus");
    ASSERT_EQ(7, menus.getCount());
    EXPECT_EQ(0, menus.getMenuList(3)->getCount());
    EXPECT_FALSE(menus.getMenuList(5));
    EXPECT_NE(std::string::npos, log.text().find("MainMenu with ID 5  is not found in 'Menus'"));

    Sptr<DpfMenuItem> usb = menus.getSubMenuItem(0, 4);
    ASSERT_TRUE(usb);
    EXPECT_EQ("MainL0UsbConnect", usb->getMenuName());
    EXPECT_EQ(6, usb->getPosition());
    EXPECT_EQ(5, menus.getSubMenuItem(0, 5)->getPosition());
    EXPECT_FALSE(menus.getSubMenuItem(1, 13));
    Sptr<DpfMenuList> photo = menus.getMenuList(2);
    EXPECT_EQ("L0Clock", photo->getMenuName());
    EXPECT_EQ(4, photo->getCount());
    EXPECT_EQ(7, menus.getMenuList(1)->getCount());
    EXPECT_EQ(1, menus.getMenuList(0)->getStyle());
}

TEST(DpfConfigDefaults, ControlsLayoutsAndFolders)
{
    DpfConfig config("Defaults");
    EXPECT_EQ(2048u, config.getMaxImagesCount());
    EXPECT_EQ("releases\\dpf\\photo\\", config.getHome4Photo());
    Sptr<DpfHwControl> hw = config.getHwControl();
    EXPECT_EQ((std::vector<int>{3, 10, 50, 80, 8, 200, 16, 4, 3, 10, 600, 3600, 600, 72, 48, 1000, 300}),
              (std::vector<int>{hw->KeyDetMin, hw->KeyDetMax, hw->KeyDetLong, hw->BackLight, hw->ContrastVal,
                                hw->LogoVal, hw->LogoMovieLen, hw->JmpPicNum, hw->SwPicVal, hw->AutoShutVal,
                                hw->IdleVal, hw->BeepVal, hw->RAlarmVal, hw->HighLevel, hw->LowLevel,
                                hw->AlarmLength, hw->BeepLength}));
    EXPECT_TRUE(hw->clock);
    Sptr<DpfStateControl> state = config.getStateControl();
    EXPECT_FALSE(state->CarlendarEn || state->AnalogClockEn);
    EXPECT_EQ(0x07C0, state->CurColour);
    EXPECT_EQ(0xF000, state->BackColour);
    EXPECT_EQ(0xFFFF, state->WordColour);

    const struct {
        const char* name;
        int top, left, right, bottom;
    } rows[] = {
        {"OSDCoorde", 100, 80, 87, 115},     {"AlarmCoorde", 0, 28, 43, 11},   {"PowerCoorde", 7, 0, 15, 14},
        {"PowerStateCoorde", 7, 0, 15, 14},  {"ClockCoorde", 29, 24, 39, 60}, {"DateCoorde", 78, 5, 12, 83},
        {"AlarmNumberCoorde", 48, 24, 39, 79}, {"MovieCoorde", 0, 0, 63, 63},  {"CalenderCoorde", 0, 0, 105, 82},
        {"CalenderDateCoorde", 112, 57, 64, 127},
    };
    for (int item = 0; item < 10; ++item) {
        Sptr<DpfLayout> layout = config.getLayout(item);
        ASSERT_TRUE(layout) << item;
        const ItemCoordinate* c = layout->getCoordinate();
        EXPECT_STREQ(rows[item].name, layout->getName());
        EXPECT_EQ((std::vector<int>{rows[item].top, rows[item].left, rows[item].right, rows[item].bottom}),
                  (std::vector<int>{c->Top, c->Left, c->Right, c->Bottom}))
            << item;
    }
    EXPECT_FALSE(config.getLayout(10));
    EXPECT_EQ(-1, config.getMenuItemPosition(1, 13));
    config.setMenuItemState(0, 5, false);
    EXPECT_FALSE(config.getMenuItemState(0, 5));
    EXPECT_EQ(6, config.getMenuCfg()->getMenuList(0)->getCount());
}

TEST(DpfControls, CopiesKeepWhatEachKindOfCopyKeeps)
{
    Sptr<DpfHwControl> source(new DpfHwControl("Source"));
    source->BackLight = 7;
    DpfHwControl target("Target");
    const Sptr<SystemClock> ownClock = target.clock;
    target = *source;
    EXPECT_EQ(7, target.BackLight);
    EXPECT_EQ(ownClock, target.clock);
    EXPECT_EQ(source->clock, DpfHwControl(*source).clock);
    DpfHwControl named(source);
    EXPECT_STREQ("DpfHwControl", named.getName());
    EXPECT_EQ(7, named.BackLight);
    EXPECT_FALSE(named.clock);

    Sptr<DpfStateControl> state(new DpfStateControl("State"));
    state->CarlendarEn = true;
    state->LguageSel = 2;
    DpfStateControl copy(state);
    EXPECT_STREQ("DpfStateControl", copy.getName());
    EXPECT_EQ(2, copy.LguageSel);
    EXPECT_FALSE(copy.CarlendarEn);

    Sptr<DpfLayout> layout(new DpfLayout("Clock", 4));
    layout->getCoordinate()->Top = 9;
    DpfLayout other("Other", 1);
    other = *layout;
    EXPECT_EQ(4, other.getType());
    EXPECT_EQ(9, other.getCoordinate()->Top);
    EXPECT_STREQ("Other", other.getName());
    layout->init();
    EXPECT_EQ(0, layout->getCoordinate()->Top);
    EXPECT_EQ(4, layout->getType());
}

class DpfFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::path(::testing::TempDir()) / "dpf_folders";
        fs::remove_all(root);
        fs::create_directories(root / "photo" / "d.img");
        for (const char* name : {"b.IMG", "a.img", "c.img.bak", "noext"}) {
            std::ofstream(root / "photo" / name) << "x";
        }
        fs::create_directories(root / "movie");
        std::ofstream(root / "movie" / "m.img") << "x";
    }
    void TearDown() override { fs::remove_all(root); }

    std::string folder(const char* name) const { return root.string() + "\\" + name + "\\"; }

    fs::path root;
};

TEST_F(DpfFolders, ScanTakesOnlyFilesWithTheExactExtension)
{
    DpfConfig config("Scan");
    config.setHome4Photo(folder("photo"));
    ASSERT_EQ(1, config.getCurrentImagesCount());
    EXPECT_EQ(folder("photo") + "a.img", config.getOnePhoto(0)->getFileName());
    EXPECT_FALSE(config.getOnePhoto(1));

    config.setHome4Movie(folder("movie"));
    config.setHome4Photo(folder("missing"));
    EXPECT_EQ(0, config.getCurrentImagesCount());
    EXPECT_EQ(1, config.getMoviesCfg()->getCount());
    EXPECT_EQ(1, config._addFileList(FILE_TYPE_PHOTO));
}

TEST_F(DpfFolders, AssignmentSharesTheBlocksAndKeepsItsOwnPaths)
{
    DpfConfig source("Source");
    source.setHome4Photo(folder("photo"));
    DpfConfig target("Target");
    target.SetStartPicPath("start.img");
    target.SetLcdTpye("lcd");
    target = source;
    EXPECT_EQ(source.getPhotoCfg(), target.getPhotoCfg());
    EXPECT_EQ(1, target.getCurrentImagesCount());
    EXPECT_EQ("start.img", target.getStartPicPath());
    EXPECT_EQ("lcd", target.getLcdTpye());

    DpfConfig copied(Sptr<DpfConfig>(new DpfConfig(source)));
    EXPECT_STREQ("DpfConfig(Copied)", copied.getName());
    EXPECT_EQ(source.getMenuCfg(), copied.getMenuCfg());
}

}  // namespace
}  // namespace Tessor::schema
