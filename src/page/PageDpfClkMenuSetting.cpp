#include "page/PageDpfClkMenuSetting.h"

#include "utils/MenuWordTables.h"

namespace Tessor::page {

namespace {

std::vector<DpfMenuGroupDescription> clockGroups()
{
    return {
        {{1, utils::DpfClockMenuItems, utils::CLOCK_MENU_ROWS, consecutiveEntries(6, utils::CLOCK_MENU_ROWS), {0, 1, 2, 3, 4, 5}, 0},
         {"时钟", 45, "CLOCK", 45, 16, "ClockMenu.bmp", "E_ClkMenu.bmp", "L1Clock.img", true},
         "时钟菜单定制", "时钟菜单按键显示顺序", "时钟菜单预览", 1287, 1290, 1288, 1291},
        {{6, utils::DpfClockModeItems, utils::CLOCK_MODE_ROWS, consecutiveEntries(24, utils::CLOCK_MODE_ROWS), {0, 2}, -1},
         {"显示", 45, "DISPLAY", 35, 15, "CLKDisplayMenu.bmp", "E_DispMenu.bmp", "Display.img", false},
         "显示菜单定制", "显示菜单按键显示顺序", "显示菜单预览", 1292, 1293, 1295, 1296},
    };
}

}  // namespace

PageDpfClkMenuSetting::PageDpfClkMenuSetting(QWidget* parent)
    : PageDpfMenuSetting("DpfClkMenuSettingTab", clockGroups(), IDC_CONFIRM, IDC_NOTICE, parent)
{
}

void PageDpfClkMenuSetting::OnBnClickedMenuConfirm()
{
    buildKnum();
    renderFrameLanguage(0);
    renderFrameLanguage(1);
    renderEnglish(0);
    renderEnglish(1);
    updateSubFunctions(0);
    updateSubFunctions(1);
}

}  // namespace Tessor::page
