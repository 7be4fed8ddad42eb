#include "utils/MenuWordTables.h"

namespace Tessor::utils {

MenuItemRecord DpfClockMenuItems[CLOCK_MENU_ROWS] = {
    {1, 1, L"显示", L"DISPLAY"},       {1, 2, L"设置", L"SETTING"}, {1, 3, L"时钟OSD", L"CLOCK OSD"},
    {1, 4, L"秒表", L"STOP WATCH"},    {1, 5, L"闹钟", L"ALARM"},   {1, 6, L"自动关机", L"AUTO OFF"},
    {1, 7, L"退出", L"EXIT"},
};
MenuItemRecord DpfClockModeItems[CLOCK_MODE_ROWS] = {
    {1, 1, L"模拟时钟", L"ANALOG CLOCK"},
    {1, 2, L"数字时钟", L"DIGITAL CLOCK"},
    {1, 3, L"万年历", L"CALENDAR"},
    {1, 4, L"退出", L"EXIT"},
};
MenuItemRecord DpfPhotoMenuItems[PHOTO_MENU_ROWS] = {
    {1, 1, L"删除一条", L"DELETE ONE"},
    {1, 2, L"删除全部", L"DELETE ALL"},
    {1, 3, L"切换时间设置", L"SLIDE TIME"},
    {1, 4, L"退出", L"EXIT"},
};
MenuItemRecord DpfSetMenuItems[SET_MENU_ROWS] = {
    {1, 1, L"对比度", L"CONTRAST"},      {1, 2, L"背光", L"BACKLIGHT"}, {1, 3, L"开机画面", L"WELCOME"},
    {1, 4, L"USB自动连接", L"USB AUTO"}, {1, 5, L"语言", L"LANGUAGE"},  {1, 6, L"按键声", L"BEEP"},
    {1, 7, L"退出", L"EXIT"},
};
MenuItemRecord DpfWelcomeItems[WELCOME_ROWS] = {
    {1, 1, L"欢迎画面", L"LOG"},
    {1, 2, L"模拟钟", L"ANALOG CLOCK"},
    {1, 3, L"数字钟", L"DIGITAL CLOCK"},
    {1, 4, L"退出", L"EXIT"},
};

const MenuOptionRecord DpfLanguageOptions[3] = {{0, L"中文"}, {1, L"英文"}, {0, L"NONE"}};
const MenuOptionRecord DpfSecondsOptions[3] = {{0, L"有分秒"}, {1, L"无分秒"}, {0, L"NONE"}};
const MenuOptionRecord DpfDateOrderOptions[4] = {{0, L"年月日"}, {1, L"月日年"}, {2, L"日月年"}, {0, L"NONE"}};
const MenuOptionRecord DpfStyleOptions[4] = {{0, L"第一种"}, {1, L"第二种"}, {2, L"第三种"}, {0, L"NONE"}};
const StartupOptionRecord DpfStartupOptions[5] = {
    {0, L"开机图片", 4}, {1, L"数字时钟", 9}, {2, L"模拟时钟", 10}, {3, L"开机动画", 13}, {0, L"NONE", 0},
};

namespace {

bool endsList(const MenuOptionRecord& row) { return row.value == 0 && row.text == L"NONE"; }
bool endsList(const StartupOptionRecord& row) { return row.index == 0 && row.text == L"NONE" && row.code == 0; }

}  // namespace

std::vector<std::wstring> optionTexts(const MenuOptionRecord* list)
{
    std::vector<std::wstring> texts;
    for (const MenuOptionRecord* row = list; !endsList(*row); ++row) {
        texts.push_back(row->text);
    }
    return texts;
}

std::vector<std::wstring> startupOptionTexts()
{
    std::vector<std::wstring> texts;
    for (const StartupOptionRecord* row = DpfStartupOptions; !endsList(*row); ++row) {
        texts.push_back(row->text);
    }
    return texts;
}

int startupIndexOfCode(int32_t code)
{
    for (const StartupOptionRecord* row = DpfStartupOptions; !endsList(*row); ++row) {
        if (row->code == code) {
            return row->index;
        }
    }
    return 0;
}

int32_t startupCodeOfIndex(int index, int32_t current)
{
    for (const StartupOptionRecord* row = DpfStartupOptions; !endsList(*row); ++row) {
        if (row->index == index) {
            return row->code;
        }
    }
    return current;
}

}  // namespace Tessor::utils
