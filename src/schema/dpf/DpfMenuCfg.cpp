#include "schema/dpf/DpfMenuCfg.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"

namespace Tessor::schema {

namespace {

const menu_item_t topMenu[] = {
    {"MainL0Clock", 0, 1, 1, 1},   {"MainL0Photo", 1, 1, 2, 2}, {"MainL0EBook", 2, 1, 3, 3},
    {"MainL0Setting", 3, 1, 4, 4}, {"MainL0Exit", 5, 1, 5, 5},  {"MainL0UsbConnect", 4, 1, 6, 6},
    {nullptr, -1, 0, 0, 0},
};
const menu_item_t clockMenu[] = {
    {"MainL1ClkDisplay", 6, 1, 1, 1},     {"MainL1ClkSetting", 7, 1, 2, 2},       {"MainL1ClockOsd", 8, 1, 3, 3},
    {"MainL1ClkStopWatch", 9, 1, 4, 4},   {"MainL1ClkAlarm", 10, 1, 5, 5},        {"MainL1ClkShutdownTime", 11, 1, 6, 6},
    {"MainL1ClkExit", 12, 1, 7, 7},       {nullptr, -1, 0, 0, 0},
};
const menu_item_t photoMenu[] = {
    {"MainL1PhotoDeleteOne", 13, 1, 1, 1}, {"MainL1PhotoDeleteAll", 14, 1, 2, 2},
    {"MainL1PhotoSlideTime", 15, 1, 3, 3}, {"MainL1PhotoExit", 16, 1, 4, 4},
    {nullptr, -1, 0, 0, 0},
};
const menu_item_t ebookMenu[] = {
    {nullptr, -1, 0, 0, 0},
};
const menu_item_t settingMenu[] = {
    {"MainL1SetContrast", 17, 1, 1, 1}, {"MainL1SetBackLight", 18, 1, 2, 2}, {"MainL1SetWelcome", 19, 1, 3, 3},
    {"MainL1SetUsbAuto", 20, 1, 4, 4},  {"MainL1SetLanguage", 21, 1, 5, 5},  {"MainL1SetBeep", 22, 1, 6, 6},
    {"MainL1SetExit", 23, 1, 7, 7},     {nullptr, -1, 0, 0, 0},
};
const menu_item_t clockDisplayMenu[] = {
    {"MainL2ClockAnalog", 24, 1, 1, 1}, {"MainL2ClkDigital", 25, 1, 2, 2}, {"MainL2ClkCalender", 26, 1, 3, 3},
    {"MainL2ClkExit", 27, 1, 4, 4},     {nullptr, -1, 0, 0, 0},
};
const menu_item_t welcomeMenu[] = {
    {"MainL2WelcomeLogo", 28, 1, 1, 1},       {"MainL2WelcomeAnalogClock", 29, 1, 2, 2},
    {"MainL2WelcomeDigitClock", 30, 1, 3, 3}, {"MainL2WelcomeExit", 31, 1, 4, 4},
    {nullptr, -1, 0, 0, 0},
};

// The photo menu carries the clock menu's name, as the frame expects.
const menu_list_t menus[] = {
    {"TopMenu", 0, 1, topMenu},           {"L0Clock", 1, 0, clockMenu},
    {"L0Clock", 2, 0, photoMenu},         {"L0Ebook", 3, 0, ebookMenu},
    {"L0Setting", 4, 0, settingMenu},     {"L2ClockDisplay", 6, 0, clockDisplayMenu},
    {"L2SetWelcome", 7, 0, welcomeMenu},  {nullptr, -1, 0, nullptr},
};

}  // namespace

DpfMenuCfg::DpfMenuCfg(const std::string& name) : BaseData(name)
{
    for (const menu_list_t* menu = menus; menu->name && menu->id != -1; ++menu) {
        addData(Sptr<BaseData>(new DpfMenuList(menu)));
    }
}

Sptr<DpfMenuList> DpfMenuCfg::getMenuListAt(int index)
{
    Sptr<BaseData> child = getData(index);
    if (!child) {
        CPLOG(4, "MainMenu with Index of %d is not exist in %s", index, getName());
        return Sptr<DpfMenuList>();
    }
    Sptr<DpfMenuList> menu = child;
    TESSOR_ASSERT(menu);
    return menu;
}

Sptr<DpfMenuList> DpfMenuCfg::getMenuList(MENU_MAIN_ID_T id)
{
    for (int index = 0;; ++index) {
        Sptr<DpfMenuList> menu = getMenuListAt(index);
        if (!menu) {
            CPLOG(4, "MainMenu with ID %d  is not found in '%s'", id, getName());
            return menu;
        }
        if (menu->getMenuId() == id) {
            return menu;
        }
    }
}

Sptr<DpfMenuItem> DpfMenuCfg::getSubMenuItem(MENU_MAIN_ID_T mainId, MENU_SUB_ID_T subId)
{
    Sptr<DpfMenuList> menu = getMenuList(mainId);
    return menu ? menu->getSubMenuItem(subId) : Sptr<DpfMenuItem>();
}

void DpfMenuCfg::debug()
{
    SystemInfo::debug("\tMenuConfigInfo : %s\n", getName());
    for (int index = 0; index < getCount(); ++index) {
        getMenuListAt(index)->debug();
    }
}

}  // namespace Tessor::schema
