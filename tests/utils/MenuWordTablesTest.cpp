// The option lists the control page offers and the start-up screen codes.
#include <gtest/gtest.h>

#include "utils/MenuWordTables.h"

namespace {

using namespace Tessor::utils;

TEST(MenuWordTables, OptionListsEndOnlyAtTheirEndRow)
{
    EXPECT_EQ((std::vector<std::wstring>{L"中文", L"英文"}), optionTexts(DpfLanguageOptions));
    EXPECT_EQ((std::vector<std::wstring>{L"有分秒", L"无分秒"}), optionTexts(DpfSecondsOptions));
    EXPECT_EQ((std::vector<std::wstring>{L"年月日", L"月日年", L"日月年"}), optionTexts(DpfDateOrderOptions));
    EXPECT_EQ((std::vector<std::wstring>{L"第一种", L"第二种", L"第三种"}), optionTexts(DpfStyleOptions));
    EXPECT_EQ((std::vector<std::wstring>{L"开机图片", L"数字时钟", L"模拟时钟", L"开机动画"}), startupOptionTexts());
}

TEST(MenuWordTables, StartupScreenStoresItsCodeNotItsIndex)
{
    const struct {
        int32_t code;
        int index;
    } codes[] = {{4, 0}, {9, 1}, {10, 2}, {13, 3}, {0, 0}, {5, 0}};
    for (const auto& c : codes) {
        EXPECT_EQ(c.index, startupIndexOfCode(c.code)) << c.code;
    }
    EXPECT_EQ(13, startupCodeOfIndex(3, 4));
    EXPECT_EQ(4, startupCodeOfIndex(0, 13));
    EXPECT_EQ(7, startupCodeOfIndex(4, 7));
    EXPECT_EQ(7, startupCodeOfIndex(-1, 7));
}

TEST(MenuWordTables, MenusStartShownInTableOrder)
{
    for (int row = 0; row < SET_MENU_ROWS; ++row) {
        EXPECT_EQ(1, DpfSetMenuItems[row].state);
        EXPECT_EQ(row + 1, DpfSetMenuItems[row].position);
    }
    EXPECT_EQ(L"LOG", DpfWelcomeItems[0].englishCaption);
    EXPECT_EQ(L"退出", DpfClockMenuItems[CLOCK_MENU_ROWS - 1].chineseCaption);
}

}  // namespace
