#include "page/PageDpfSetMenuSetting.h"

#include "utils/MenuWordTables.h"

namespace Tessor::page {

namespace {

std::vector<DpfMenuGroupDescription> settingGroups()
{
    return {
        {{4, utils::DpfSetMenuItems, utils::SET_MENU_ROWS, consecutiveEntries(17, utils::SET_MENU_ROWS), {0, 1, 2, 3, 4, 5}, 2},
         {"设置", 45, "SETTING", 35, 16, "SetMenu.bmp", "E_SetMenu.bmp", "L1Setting.img", true},
         "设置菜单定制", "设置菜单按键显示顺序", "设置菜单预览", 1294, 1297, 1296, 1302},
        {{7, utils::DpfWelcomeItems, utils::WELCOME_ROWS, consecutiveEntries(28, utils::WELCOME_ROWS), {1, 2}, -1},
         {"开机画面", 35, "WELCOME", 35, 16, "WelcomeMenu.bmp", "E_WelcomeMenu.bmp", "Welcome.img", false},
         "欢迎菜单定制", "欢迎菜单按键显示顺序", "欢迎菜单预览", 1298, 1299, 1301, 1303},
    };
}

}  // namespace

PageDpfSetMenuSetting::PageDpfSetMenuSetting(QWidget* parent)
    : PageDpfMenuSetting("DpfSetMenuSettingTab", settingGroups(), IDC_CONFIRM, IDC_NOTICE, parent)
{
}

void PageDpfSetMenuSetting::OnBnClickedMenuConfirm()
{
    renderFrameLanguage(0);
    renderFrameLanguage(1);
    renderEnglish(0);
    renderEnglish(1);
    buildKnum();
    updateSubFunctions(0);
    updateSubFunctions(1);
}

}  // namespace Tessor::page
